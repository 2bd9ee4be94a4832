// Loading and the end of a game in headless Chromium: a blocked kawauo.data,
// one the server does not have (404) and one cut short are each named on the
// page with "Try again", and "Save the run" waits for a run; with the network
// back "Try again" starts the game, the bar counting the bytes as they come.
// After ESC "Play again" starts a new game on the same page, which takes
// keys.
//   node loading.js PAGE_URL
'use strict';
const {hold, last, eventually, runChecks} = require('./browser');

const [pageUrl] = process.argv.slice(2);
const kTold = 5;  // seconds within which a failed download is named

const panel = page => page.evaluate(() => ({
  shown: !document.getElementById('loader').hidden,
  text: document.getElementById('loader-text').textContent,
  button: document.getElementById('loader-again').hidden ? '' : document.getElementById('loader-again').textContent,
  value: document.getElementById('loader-bar').value,
  max: document.getElementById('loader-bar').max,
}));
const titleShown = page => eventually(20, () => page.evaluate(() => window.Module?.kawauoFirstShown !== undefined));

async function failedDownloads(page, check) {
  const data = '**/kawauo.data';
  const told = async (what, pattern) => {
    const said = await eventually(kTold, async () => {
      const now = await panel(page);
      return now.shown && now.button === 'Try again' && pattern.test(now.text) && now;
    });
    check(`${what} is named on the page within ${kTold} s, with Try again: "${said.text}"`, !!said);
  };
  await page.route(data, route => route.abort('blockedbyclient'));
  await page.goto(`${pageUrl}/index.html?trace`);
  await told('a blocked kawauo.data', /^kawauo\.data .*network/);
  check('"Save the run" waits for a run', await page.isDisabled('#recording'));

  await page.unroute(data);
  await page.route(data, route => route.fulfill({status: 404, body: 'gone'}));
  await page.click('#loader-again');
  await told('kawauo.data answered with 404', /^kawauo\.data .*404/);

  await page.unroute(data);
  await page.route(data, async route => {
    const whole = await (await route.fetch()).body();
    route.fulfill({body: whole.subarray(0, whole.length >> 1)});
  });
  await page.click('#loader-again');
  await told('kawauo.data cut short', /^kawauo\.data arrived damaged: \d+ bytes of its \d+/);

  // The network back, slow enough to see the bar move.
  await page.unroute(data);
  const network = await page.context().newCDPSession(page);
  await network.send('Network.emulateNetworkConditions',
                     {offline: false, latency: 20, downloadThroughput: 1 << 20, uploadThroughput: -1});
  await page.click('#loader-again');
  const seen = [];
  while (!(await page.evaluate(() => window.Module?.calledRun === true))) {
    seen.push(await panel(page));
    await page.waitForTimeout(20);
  }
  await network.send('Network.emulateNetworkConditions',
                     {offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1});
  const midway = seen.find(now => now.value > 0 && now.value < now.max && /^Loading \d+ of \d+ kB/.test(now.text));
  check(`the bar counts the bytes as they come (${midway ? `${midway.value} of ${midway.max}: "${midway.text}"` : 'never'})`,
        !!midway);
  check('with the network back Try again starts the game', await titleShown(page));
  check('the panel goes and "Save the run" is offered',
        !(await panel(page)).shown && !(await page.isDisabled('#recording')));
}

async function playAgain(page, check) {
  await hold(page, 'Space');
  await eventually(5, async () => (await last(page)).scene === 2);
  await hold(page, 'Escape');
  const ended = await eventually(5, async () => {
    const now = await panel(page);
    return now.button === 'Play again' && now;
  });
  check(`after ESC the page offers Play again: "${ended && ended.text}"`, !!ended && /ended/.test(ended.text));
  await page.evaluate(() => { window.kawauoFirstGame = Module; });
  await page.click('#loader-again');
  const fresh = await eventually(10, () => page.evaluate(() =>
      Module !== kawauoFirstGame && Module.kawauoFirstShown !== undefined && document.body.dataset.ended === undefined));
  const first = fresh && (await last(page));
  check(`Play again starts a new game on the title (frame ${first?.frame}, scene ${first?.scene})`,
        fresh && first.scene === 0 && first.frame < 120);
  await hold(page, 'Space');
  check('the new game takes SPACE', await eventually(5, async () => (await last(page)).scene === 2));
  const start = (await last(page)).fish[6];
  await hold(page, 'ArrowRight', 600);
  const right = (await last(page)).fish[6];
  check(`and the arrows (x ${start} -> ${right})`, right > start + 20);
}

runChecks(async ({page, checks}) => {
  await failedDownloads(page, checks.check);
  await playAgain(page, checks.check);
});
