// A bundle missing a picture, in headless Chromium: the page shows the
// game's creation-error box, as kawauo-sim reports it for the same pictures,
// on the page and on the console, and the game stops when it is dismissed;
// the page says why, and "Play again" starts the game again (the box again).
// A bundle holding no picture at all (none/ beside it) says so in one box.
//   node missing.js URL EXPECTED_JSON ({"caption": ..., "text": ...})
'use strict';
const fs = require('fs');
const {waitFor, runChecks} = require('./browser');

const [url, expectedPath] = process.argv.slice(2);
const expected = JSON.parse(fs.readFileSync(expectedPath, 'utf8'));

runChecks(async ({page, checks}) => {
  const check = checks.check;
  await page.goto(`${url}/index.html`);
  const box = page.locator('#box');
  await box.waitFor({state: 'visible', timeout: 60000});
  const caption = await page.textContent('#box-caption');
  const text = await page.textContent('#box-text');
  check(`the box's caption is the game's: "${caption}"`, caption === expected.caption);
  check(`the box's text is the game's: "${text.replace(/\n/g, ' / ')}"`, text === expected.text);
  check('the box is modal', await page.evaluate(() => document.getElementById('box').matches(':modal')));
  const told = checks.errors.filter(line => line === `${expected.caption}: ${expected.text}`).length;
  check(`the console has it too, once (${told})`, told === 1);
  check('the game waits for the OK', (await page.evaluate(() => document.body.dataset.ended)) === undefined);
  await page.click('#box-ok');
  await waitFor(page, 'the end', () => document.body.dataset.ended !== undefined);
  const ended = await page.evaluate(() => document.body.dataset.ended);
  check(`the game stops with status 1 (${ended})`, ended === '1');
  check('no frame was shown', (await page.evaluate(() => kawauoGame.firstShown)) === undefined);
  const said = await page.textContent('#status');
  check(`the page says why: "${said.replace(/\n/g, ' / ')}"`, said.startsWith(`${expected.caption}: ${expected.text}`));
  await page.click('#loader-again:text("もう一度遊ぶ")');
  await box.waitFor({state: 'visible', timeout: 30000});
  check(
    'Play again starts the game again, which shows the box again',
    (await page.textContent('#box-caption')) === expected.caption &&
      (await page.evaluate(() => document.body.dataset.ended)) === undefined,
  );

  // A bundle holding none of the pictures: one box of the page's own, in the
  // language the query asks for, before any game; then status 1.
  await page.goto(`${url}/none/index.html?lang=en`);
  await box.waitFor({state: 'visible', timeout: 30000});
  const none = await page.textContent('#box-text');
  check(
    `no pictures at all: one box, in English, that names the damaged bundle ("${none.split('\n')[0]}")`,
    (await page.textContent('#box-caption')) === 'kawauo' &&
      none.startsWith("The game's pictures") &&
      none.includes('kawauo.data'),
  );
  await page.click('#box-ok');
  await waitFor(page, 'the end', () => document.body.dataset.ended !== undefined);
  check(
    'and the page ends with status 1, no frame shown',
    (await page.evaluate(() => document.body.dataset.ended)) === '1' &&
      (await page.evaluate(() => kawauoGame.firstShown)) === undefined,
  );
});
