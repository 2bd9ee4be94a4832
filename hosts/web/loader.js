// The page's loading: the program (kawauo.js, kawauo.wasm) and the pictures
// (kawauo-data.js, kawauo.data) fetched with their bytes on a progress bar,
// then, while the title shows, the baked font (font/: the title draws no
// text, and the game's first text waits for it), each file checked against
// the sizes and SHA-256 digests the build wrote below,
// then unpacked (the build stores them gzip-compressed, for any plain static
// server to send at a third of their size) with the browser's own
// DecompressionStream, the program compiled as it arrives, the scripts run
// as modules from those very bytes (no eval: the page runs under a
// Content-Security-Policy without it); a file that cannot be had, or that
// came damaged, is named on the page with what went wrong and "Try again",
// which fetches it anew from the server. Once a game has started, the
// service worker (sw.js) keeps this version of the folder for offline play.
//   new Loader(play): play(program) starts a game once all is here, and
//     again with each "Try again" or "Play again" after that.
//   loader.load(): fetches what is missing and plays.
//   loader.font: a promise of the font's tables {glyphs, cp932}, Uint8Arrays.
//   loader.fontWanted(): a game waits for the font: its bytes on the bar.
//   loader.say(message, button): the message, and a button that plays again.
//   loader.keepForOffline(): asks for the service worker, once.
import {say} from './texts.js';

// Written by the build (bundle.cmake): the version, and each file's size in bytes and digest.
const bundle = /*@KAWAUO_BUNDLE@*/ {cache: '', files: {}};
const kFiles = ['kawauo.js', 'kawauo-data.js', 'kawauo.wasm', 'kawauo.data']; // what the title needs
const kFontFiles = ['font/glyphs16.bin', 'font/cp932.bin'];
// A download that brings nothing for this long is given up: a stalled
// connection ends neither in data nor in an error of its own.
const kStallMilliseconds = 20000;
const kWorkerDelayMilliseconds = 2000;

const sizeOf = name => (bundle.files[name] || [])[0];

// An error that names the file it is about, for the page to say.
function problem(name, what) {
  const error = new Error(what);
  error.file = name;
  return error;
}

// The bytes of a gzip stream, unpacked.
const unpacked = stream => new Response(stream.pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();

// Whether `bytes` are the build's `name`: its SHA-256 digest. A page served
// over plain HTTP from another machine has no crypto.subtle: there the size
// and the unpacking, which fails on most damage, are the checks.
async function digestMatches(name, bytes) {
  const expected = (bundle.files[name] || [])[1];
  if (!expected || !globalThis.crypto?.subtle) return true;
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return [...digest].map(byte => byte.toString(16).padStart(2, '0')).join('') === expected;
}

// The bytes of `chunks` in one buffer of `length`.
function joined(chunks, length) {
  const bytes = new Uint8Array(length);
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.byteLength;
  }
  return bytes.buffer;
}

// The module whose source is `bytes`, run from them as they were checked;
// its default export.
async function importBytes(name, bytes) {
  const url = URL.createObjectURL(new Blob([bytes], {type: 'text/javascript'}));
  try {
    return (await import(url)).default;
  } catch (error) {
    throw problem(name, `arrived damaged: ${error}.`);
  } finally {
    URL.revokeObjectURL(url);
  }
}

export class Loader {
  constructor(play) {
    this.play = play;
    this.panel = document.getElementById('loader');
    this.text = document.getElementById('loader-text');
    this.bar = document.getElementById('loader-bar');
    this.again = document.getElementById('loader-again');
    this.got = Object.create(null); // file name: its bytes, checked
    this.pending = Object.create(null); // file name: its download under way
    this.counted = Object.create(null); // file name: bytes arrived so far
    this.compiling = null; // the program compiled as kawauo.wasm comes
    this.program = null; // what every game is made from, once all is here
    this.failed = false;
    this.workerAsked = false;
    this.counting = kFiles; // the files whose bytes the bar counts
    this.font = new Promise(resolve => {
      this.fontCame = resolve;
    });
    this.fontHere = false;
    this.fontFetching = false;
    this.fontFailed = false; // the last fetch of the font failed: the next one passes the browser's copy
    this.fetchFontAgain = () => this.fetchFont();
    this.action = null; // what the button does
    this.again.addEventListener('click', () => {
      this.again.blur();
      this.action();
    });
  }

  // `again` is what the button does; by default it plays again, or loads again before a program is here.
  say(message, button, again = () => (this.program ? this.start() : this.load(true))) {
    this.action = again;
    this.panel.hidden = false;
    this.text.textContent = message;
    this.bar.hidden = button !== undefined;
    this.again.hidden = button === undefined;
    if (button !== undefined) {
      this.again.textContent = button;
      this.again.focus();
    }
  }

  showProgress() {
    let total = 0;
    let arrived = 0;
    for (const name of this.counting) {
      total += sizeOf(name) || 0;
      arrived += this.got[name] ? this.got[name].byteLength : this.counted[name] || 0;
    }
    this.bar.max = total;
    this.bar.value = Math.min(arrived, total);
    if (!this.failed) this.say(say('loadingBytes', Math.round(arrived / 1024), Math.round(total / 1024)));
  }

  // Resolves to the file's bytes as they came, or rejects naming the file
  // and why. Again after a failure, they come from the server, not from the
  // browser's copy. The program is compiled as it comes, unpacked on the way.
  async download(name, again) {
    const controller = new AbortController();
    let stalled = false;
    let timer = 0;
    const watch = () => {
      clearTimeout(timer);
      timer = setTimeout(() => {
        stalled = true;
        controller.abort();
      }, kStallMilliseconds);
    };
    this.counted[name] = 0;
    watch();
    const chunks = [];
    try {
      const response = await fetch(name, {signal: controller.signal, cache: again ? 'reload' : 'default'});
      if (!response.ok) {
        throw problem(name, say('answered', name, `${response.status} ${response.statusText}`.trim()));
      }
      let body = response.body;
      if (name === 'kawauo.wasm' && WebAssembly.compileStreaming) {
        const [mine, compiler] = body.tee();
        body = mine;
        const program = compiler.pipeThrough(new DecompressionStream('gzip'));
        const wasm = new Response(program, {headers: {'Content-Type': 'application/wasm'}});
        this.compiling = WebAssembly.compileStreaming(wasm);
        this.compiling.catch(() => {}); // said by prepare, when it comes to that
      }
      const reader = body.getReader();
      for (let chunk = await reader.read(); !chunk.done; chunk = await reader.read()) {
        watch();
        chunks.push(chunk.value);
        this.counted[name] += chunk.value.byteLength;
        if (this.counting.includes(name)) this.showProgress();
      }
    } catch (error) {
      if (error.file) throw error;
      throw problem(name, stalled ? say('stalled', name, kStallMilliseconds / 1000) : say('offline', name));
    } finally {
      clearTimeout(timer);
    }
    const size = sizeOf(name);
    if (size !== undefined && this.counted[name] !== size) {
      throw problem(name, say('cutShort', name, this.counted[name], size));
    }
    const bytes = joined(chunks, this.counted[name]);
    if (!(await digestMatches(name, bytes))) throw problem(name, say('notThisVersion', name));
    return bytes;
  }

  // The file `name` as the program reads it: unpacked.
  async unpack(name) {
    try {
      return await unpacked(new Blob([this.got[name]]).stream());
    } catch (error) {
      throw problem(name, say('unpacked', name, error));
    }
  }

  // What a game is made from: the program compiled, the scripts run.
  async prepare() {
    const [script, picturesScript, data] = await Promise.all(
      ['kawauo.js', 'kawauo-data.js', 'kawauo.data'].map(name => this.unpack(name)),
    );
    const [factory, pictures] = await Promise.all([
      importBytes('kawauo.js', script),
      importBytes('kawauo-data.js', picturesScript),
    ]);
    let wasm;
    try {
      wasm = await (this.compiling || WebAssembly.compile(await this.unpack('kawauo.wasm')));
    } catch (error) {
      throw problem('kawauo.wasm', say('unpacked', 'kawauo.wasm', error));
    }
    return {factory, pictures, wasm, data};
  }

  // The files of `names` not yet here, each by one download at a time;
  // rejects with the first failure while the others go on arriving.
  fetchAll(names, again) {
    const downloads = names
      .filter(name => !this.got[name])
      .map(name => {
        this.pending[name] ??= this.download(name, again)
          .then(bytes => {
            this.got[name] = bytes;
          })
          .finally(() => {
            delete this.pending[name];
          });
        return this.pending[name];
      });
    return Promise.all(downloads);
  }

  async load(again = false) {
    this.failed = false;
    this.counting = kFiles;
    document.getElementById('status').textContent = say('loading');
    this.showProgress();
    // The first failure is told at once; the other files go on arriving.
    try {
      await this.fetchAll(kFiles, again);
      this.program = await this.prepare();
    } catch (error) {
      if (error.file) delete this.got[error.file]; // found damaged after it came: fetched again
      if (error.file === 'kawauo.wasm') this.compiling = null;
      this.fail(error.file ? error.message : say('notPrepared', error));
      return;
    }
    this.start();
  }

  fail(message) {
    if (this.failed) return;
    this.failed = true;
    console.error(message);
    document.getElementById('status').textContent = say('notLoaded');
    this.say(message, say('tryAgain'));
  }

  start() {
    this.panel.hidden = true;
    this.counting = [];
    this.play(this.program);
    this.fetchFont();
  }

  // The font, fetched once the title's files are here, so that it takes none
  // of their bandwidth; a failure is said with "Try again", which fetches
  // what failed anew (as does the next game's start), while a game that
  // wants the font waits.
  async fetchFont() {
    if (this.fontFetching || this.fontHere) return;
    this.fontFetching = true;
    const again = this.fontFailed;
    this.fontFailed = false;
    try {
      await this.fetchAll(kFontFiles, again);
      const [glyphs, cp932] = await Promise.all(kFontFiles.map(async name => new Uint8Array(await this.unpack(name))));
      this.fontHere = true;
      this.fontCame({glyphs, cp932});
      if (this.action === this.fetchFontAgain || this.counting === kFontFiles) this.panel.hidden = true;
      this.counting = [];
    } catch (error) {
      if (error.file) delete this.got[error.file]; // found damaged after it came: fetched again
      this.fontFailed = true;
      console.error(error.message);
      this.say(error.message, say('tryAgain'), this.fetchFontAgain);
    } finally {
      this.fontFetching = false;
    }
  }

  // A game waits for the font (its first text): until it comes, the bar
  // counts its bytes, unless its failure is said.
  fontWanted() {
    if (this.fontHere) return;
    this.counting = kFontFiles;
    if (!this.fontFailed) this.showProgress();
  }

  // The folder of this version kept for the next visit, offline too; asked
  // for a while after a game has started and the font has come, so that
  // filling the cache never competes with the first downloads nor with the
  // game's first frames.
  keepForOffline() {
    if (this.workerAsked || !('serviceWorker' in navigator) || !window.isSecureContext) return;
    this.workerAsked = true;
    const register = () =>
      navigator.serviceWorker.register('sw.js', {updateViaCache: 'none'}).catch(error => {
        console.warn(`kawauo: no offline play: ${error}`);
      });
    this.font.then(() => setTimeout(register, kWorkerDelayMilliseconds));
  }
}
