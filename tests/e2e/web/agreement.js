// The web build runs a kawauo-sim script on the same virtual clock and
// shows, shot for shot, the very frames kawauo-sim shows: palette indices
// and palette byte for byte, read from the page (?script=) and from
// kawauo-sim --shots of the same script; and the canvas, drawn on the 2D
// canvas and again by WebGL (?webgl), at twice the picture's size for the
// page's smooth step to 1376x1032, shows the last of them exactly.
//   node agreement.js PAGE_URL SCRIPT_URL SIM_SHOTS_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const {readPalettePng} = require('./pictures');
const {canvasRgba, waitFor, runChecks} = require('./browser');

const [pageUrl, scriptUrl, simShots] = process.argv.slice(2);

// Where two byte arrays first differ, or -1.
function firstDifference(a, b) {
  if (a.length !== b.length) return 0;
  for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return i;
  return -1;
}

// The script's run on `page`: its end, and its shots by name.
async function run(page, query) {
  await page.goto(`${pageUrl}/index.html?script=${encodeURIComponent(scriptUrl)}${query}`);
  await waitFor(page, 'the end of the script', () => document.body.dataset.ended !== undefined, null, 180);
  // The status, and what the page says of it (a failed shot names itself there).
  const ended = await page.evaluate(
    () => `${document.body.dataset.ended}: ${document.getElementById('status').textContent}`,
  );
  const entries = await page.evaluate(() => {
    const encode = bytes => {
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000)
        text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      return btoa(text);
    };
    // Pairs, not an object: a name such as __proto__ must stay a name.
    return Object.entries(kawauoGame.shots).map(([name, shot]) => [name, encode(shot.pixels), encode(shot.palette)]);
  });
  return {
    ended,
    drawnBy: await page.evaluate(() => kawauoGame.drawnBy),
    shots: new Map(entries.map(([name, pixels, palette]) => [name, {pixels, palette}])),
  };
}

// Whether the canvas shows `shot` (its indices through its palette) exactly.
async function showsShot(page, shot) {
  const rgba = await canvasRgba(page);
  const pixels = Buffer.from(shot.pixels, 'base64'),
    palette = Buffer.from(shot.palette, 'base64');
  return pixels.every((index, i) => [0, 1, 2].every(c => rgba[4 * i + c] === palette[4 * index + c]));
}

runChecks(async ({browser, page, checks}) => {
  const check = checks.check;
  await page.setViewportSize({width: 1920, height: 1080});
  const {ended, drawnBy, shots} = await run(page, '');
  check(`the script runs to its end and the game exits with 0 (${ended})`, ended.startsWith('0:'));
  const names = fs
    .readdirSync(simShots)
    .filter(f => f.endsWith('.png'))
    .map(f => f.slice(0, -4))
    .sort();
  check(`the same shots: ${names.join(' ')}`, names.length > 0 && names.join() === [...shots.keys()].sort().join());
  for (const name of names) {
    const sim = readPalettePng(path.join(simShots, `${name}.png`));
    const web = shots.get(name);
    if (!web) continue;
    const pixels = Buffer.from(web.pixels, 'base64');
    const palette = Buffer.from(web.palette, 'base64').filter((_, i) => i % 4 !== 3); // PALETTEENTRY's flags
    const at = firstDifference(pixels, sim.pixels);
    check(
      `${name}: every index as kawauo-sim's${at < 0 ? '' : ` (first differs at ${at % 640},${Math.floor(at / 640)})`}`,
      at < 0,
    );
    check(`${name}: the palette as kawauo-sim's`, firstDifference(palette, sim.palette) < 0);
  }
  const last = names.length > 0 && shots.get('result');
  const factor = () => page.evaluate(() => kawauoGame.factor);
  check(
    `drawn by ${drawnBy} at ${await factor()}x, the canvas shows the last shot exactly`,
    last && (await factor()) === 2 && (await showsShot(page, last)),
  );
  const webgl = await browser.newPage({viewport: {width: 1920, height: 1080}});
  const again = await run(webgl, '&webgl');
  check(
    `drawn by ${again.drawnBy} (?webgl), the canvas shows the last shot exactly`,
    again.drawnBy === 'webgl' && again.ended.startsWith('0:') && last && (await showsShot(webgl, last)),
  );
});
