// The page's deflate, Debian's pako (a port of zlib's), against zlib's own:
// each link kawauo-sim made with zlib, its binary form deflated again by
// pako at the links' settings, must come out as the same bytes and so as
// the same link. One run, one link, wherever it is made.
//   node deflate.mjs LINK...
import pako from '/usr/share/nodejs/pako/dist/pako.esm.mjs';

// run_link::kDeflate: level 9, a window of 2^15, memory level 9, Z_FILTERED (1).
const settings = {level: 9, windowBits: 15, memLevel: 9, strategy: 1};
const mark = '#run=';
let passed = 0;
let failed = 0;
const check = (what, ok) => {
  console.log(`${ok ? 'ok' : 'FAIL'}: ${what}`);
  ok ? ++passed : ++failed;
};

for (const link of process.argv.slice(2)) {
  const at = link.indexOf(mark);
  const payload = Buffer.from(link.slice(at + mark.length), 'base64url');
  const head = payload.subarray(0, 2);  // 'k' and the link's format
  const deflated = payload.subarray(2);
  let form;
  try {
    form = pako.inflateRaw(deflated);
  } catch (error) {
    check(`pako reads the run of ${link.slice(0, 60)}...: ${error}`, false);
    continue;
  }
  const again = pako.deflateRaw(form, settings);
  const same = Buffer.compare(Buffer.from(again), deflated) === 0;
  check(`a form of ${form.length} bytes: pako deflates it to zlib's ${deflated.length} bytes${same ? '' : ` (not: ${again.length})`}`, same);
  const remade = link.slice(0, at + mark.length) + Buffer.concat([head, Buffer.from(again)]).toString('base64url');
  check(`and to the same link of ${link.length} characters`, remade === link);
}
check('links were given', passed + failed > 0);
console.log(`web: ${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 ? 0 : 1;
