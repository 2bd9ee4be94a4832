// The page's deflate, Debian's pako (a port of zlib's), against zlib's own:
// each link kawauo-sim made with zlib, its binary form deflated again by
// pako at the links' settings, must come out as the same bytes and so as
// the same link. One run, one link, wherever it is made.
//   node deflate.js LINK...
'use strict';

// run_link::kDeflate: level 9, a window of 2^15, memory level 9, Z_FILTERED (1).
const settings = {level: 9, windowBits: 15, memLevel: 9, strategy: 1};
const mark = '#run=';

// The binary form a link carries, deflated by pako again: its link then.
function remade(pako, link) {
  const at = link.indexOf(mark);
  const payload = Buffer.from(link.slice(at + mark.length), 'base64url');
  const deflated = payload.subarray(2); // after 'k' and the link's format
  const form = pako.inflateRaw(deflated);
  const again = Buffer.from(pako.deflateRaw(form, settings));
  const link2 = link.slice(0, at + mark.length) + Buffer.concat([payload.subarray(0, 2), again]).toString('base64url');
  return {form, deflated, again, link: link2};
}

(async () => {
  // The module build the page loads.
  const {default: pako} = await import('/usr/share/nodejs/pako/dist/pako.esm.mjs');
  const checks = {passed: 0, failed: 0};
  const check = (what, ok) => {
    console.log(`${ok ? 'ok' : 'FAIL'}: ${what}`);
    ok ? ++checks.passed : ++checks.failed;
  };
  const links = process.argv.slice(2);
  check(`links were given (${links.length})`, links.length > 0);
  for (const link of links) {
    let made;
    try {
      made = remade(pako, link);
    } catch (error) {
      check(`pako reads the run of ${link.slice(0, 60)}...: ${error}`, false);
      continue;
    }
    const same = made.again.equals(made.deflated);
    check(
      `a form of ${made.form.length} bytes: pako deflates it to zlib's ${made.deflated.length} bytes` +
        (same ? '' : ` (not: ${made.again.length})`),
      same,
    );
    check(`and to the same link of ${link.length} characters`, made.link === link);
  }
  console.log(`web: ${checks.passed} passed, ${checks.failed} failed`);
  process.exitCode = checks.failed === 0 ? 0 : 1;
})();
