// The web build runs a kawauo-sim script on the same virtual clock and
// shows, shot for shot, the very frames kawauo-sim shows: palette indices
// and palette byte for byte, read from the page (?script=) and from
// kawauo-sim --shots of the same script.
//   node agreement.js PAGE_URL SCRIPT_URL SIM_SHOTS_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const {readPalettePng} = require('./pictures');
const {runChecks} = require('./browser');

const [pageUrl, scriptUrl, simShots] = process.argv.slice(2);

// Where two byte arrays first differ, or -1.
function firstDifference(a, b) {
  if (a.length !== b.length) return 0;
  for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return i;
  return -1;
}

runChecks(async ({page, checks}) => {
  const check = checks.check;
  await page.goto(`${pageUrl}/index.html?script=${encodeURIComponent(scriptUrl)}`);
  await page.waitForFunction(() => document.body.dataset.ended !== undefined, null, {timeout: 180000});
  const ended = await page.evaluate(() => document.body.dataset.ended);
  check(`the script runs to its end and the game exits with 0 (${ended})`, ended === '0');
  const entries = await page.evaluate(() => {
    const encode = bytes => {
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      return btoa(text);
    };
    // Pairs, not an object: a name such as __proto__ must stay a name.
    return Object.entries(Module.kawauoShots).map(([name, shot]) => [name, encode(shot.pixels), encode(shot.palette)]);
  });
  const shots = new Map(entries.map(([name, pixels, palette]) => [name, {pixels, palette}]));
  const names = fs.readdirSync(simShots).filter(f => f.endsWith('.png')).map(f => f.slice(0, -4)).sort();
  check(`the same shots: ${names.join(' ')}`, names.length > 0 && names.join() === [...shots.keys()].sort().join());
  for (const name of names) {
    const sim = readPalettePng(path.join(simShots, `${name}.png`));
    const web = shots.get(name);
    if (!web) continue;
    const pixels = Buffer.from(web.pixels, 'base64');
    const palette = Buffer.from(web.palette, 'base64').filter((_, i) => i % 4 !== 3);  // PALETTEENTRY's flags
    const at = firstDifference(pixels, sim.pixels);
    check(`${name}: every index as kawauo-sim's${at < 0 ? '' : ` (first differs at ${at % 640},${Math.floor(at / 640)})`}`, at < 0);
    check(`${name}: the palette as kawauo-sim's`, firstDifference(palette, sim.palette) < 0);
  }
});
