// The page's side of a run's link (web_link.cpp): the deflate the program
// carries none of, Debian's pako, which the page loads when a link is made
// or opened (links.js) and hands the program as its game's codec. pako is a
// port of zlib's deflate and gives zlib's very bytes at the links' settings,
// so that one run has one link on the page and on the desktops. Linked into
// kawauo.js with --js-library, beside library_kawauo.js.
mergeInto(LibraryManager.library, {
  $KawauoLink: {
    // run_link::kDeflate: level 9, a window of 2^15, memory level 9, Z_FILTERED (1).
    settings: {level: 9, windowBits: 15, memLevel: 9, strategy: 1},
    // run_link::InflateProblem, as numbered there.
    damaged: 0,
    truncated: 1,
    followed: 2,
    tooLong: 3,
    outOfMemory: 4,
    // The bytes a whole raw deflate stream holds, at most `most` of them
    // (inflated no further); else the problem's number.
    inflate: function (codec, input, most) {
      var inflater = new codec.Inflate({raw: true});
      var length = 0;
      var chunks = [];
      inflater.onData = function (chunk) {
        length += chunk.length;
        if (length > most) throw KawauoLink; // itself: told from any other throw
        chunks.push(chunk.slice());
      };
      try {
        inflater.push(input, true);
      } catch (error) {
        if (error !== KawauoLink) throw error;
        return KawauoLink.tooLong;
      }
      if (inflater.err) return KawauoLink.damaged;
      if (!inflater.ended) return KawauoLink.truncated;
      if (inflater.strm.avail_in > 0) return KawauoLink.followed;
      var bytes = new Uint8Array(length);
      var at = 0;
      chunks.forEach(function (chunk) {
        bytes.set(chunk, at);
        at += chunk.length;
      });
      return bytes;
    },
  },

  kawauo_web_zip__deps: ['$KawauoLink', 'malloc'],
  kawauo_web_zip: function (bytes, size, inflate, most, length) {
    var codec = Module['kawauo'].codec;
    if (!codec) throw new Error("a run link without the page's deflate");
    var input = HEAPU8.slice(bytes, bytes + size);
    var made = inflate ? KawauoLink.inflate(codec, input, most) : codec.deflateRaw(input, KawauoLink.settings);
    if (typeof made !== 'number') {
      var at = _malloc(made.length || 1);
      if (at) {
        HEAPU8.set(made, at);
        HEAP32[length >> 2] = made.length;
        return at;
      }
      made = KawauoLink.outOfMemory;
    }
    HEAP32[length >> 2] = -1 - made;
    return 0;
  },
});
