// The web build in headless Chromium, measured (not judged): time from
// navigation to the first title frame over several loads, over seconds of
// play the whole frame (game, conversion, canvas upload) and the pacing of
// the pictures shown, on the page's own choice of canvas and again with
// ?webgl, with the processor time of the whole browser (all its processes:
// a processor's WebGL draws in another), and a long script run by
// ?script=: from navigation to its end, and the longest a 10 ms timer of
// the page waited meanwhile (how long the page went unanswered). Started by
// bench/web_bench.sh.
//   node web_bench.js URL SCRIPT_PATH [PLAY_SECONDS] [LOADS]
'use strict';
const fs = require('fs');
const {chromium} = require('playwright-core');
const {firstFrame, waitFor} = require('../tests/e2e/web/browser');

const [url, scriptPath, playSeconds = '10', loads = '5'] = process.argv.slice(2);

function quantile(values, q) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}
const mean = values => values.reduce((a, b) => a + b, 0) / values.length;
const ms = value => value.toFixed(2);

// Seconds of processor time of this process and all below it (the browser's).
function treeSeconds() {
  const parent = {},
    ticks = {};
  for (const pid of fs.readdirSync('/proc').filter(name => /^\d+$/.test(name))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parent[pid] = fields[1];
      ticks[pid] = Number(fields[11]) + Number(fields[12]);
    } catch {
      // gone meanwhile
    }
  }
  const ours = pid => pid === String(process.pid) || (pid in parent && pid !== '1' && ours(parent[pid]));
  return (
    Object.keys(ticks)
      .filter(ours)
      .reduce((sum, pid) => sum + ticks[pid], 0) / 100
  );
}

// Play: SPACE, then the fish swims up and down with a move now and then.
async function play(page, label) {
  await page.keyboard.down('Space');
  await page.waitForTimeout(100);
  await page.keyboard.up('Space');
  await page.evaluate(() => {
    kawauoGame.stats.work.length = 0;
    kawauoGame.stats.shown.length = 0;
  });
  const [begun, processor] = [Date.now(), treeSeconds()];
  const until = Date.now() + Number(playSeconds) * 1000;
  for (let round = 0; Date.now() < until; ++round) {
    const key = ['ArrowUp', 'ArrowRight', 'ArrowDown', 'ArrowLeft', 'F2'][round % 5];
    await page.keyboard.down(key);
    await page.waitForTimeout(300);
    await page.keyboard.up(key);
  }
  const share = ((treeSeconds() - processor) / ((Date.now() - begun) / 1000)) * 100;
  const [stats, drawnBy] = await page.evaluate(() => [kawauoGame.stats, kawauoGame.drawnBy]);
  const intervals = stats.shown.slice(1).map((t, i) => t - stats.shown[i]);
  console.log(
    `${label}, drawn by ${drawnBy}: play frame (game, conversion, canvas upload): ` +
      `median ${ms(quantile(stats.work, 0.5))} ms, p99 ${ms(quantile(stats.work, 0.99))} ` +
      `(${stats.work.length} frames); the browser ${share.toFixed(1)} % of a core`,
  );
  console.log(
    `  pacing: ${stats.shown.length} frames in ${ms((stats.shown.at(-1) - stats.shown[0]) / 1000)} s, ` +
      `interval mean ${ms(mean(intervals))} ms, median ${ms(quantile(intervals, 0.5))}, ` +
      `p99 ${ms(quantile(intervals, 0.99))}, max ${ms(Math.max(...intervals))}`,
  );
}

(async () => {
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: ['--no-sandbox']});
  const page = await browser.newPage({viewport: {width: 1280, height: 1024}});
  const firsts = [];
  for (let i = 0; i < Number(loads); ++i) {
    await page.goto(`${url}/index.html?stats&load=${i}`);
    await firstFrame(page);
    firsts.push(await page.evaluate(() => kawauoGame.firstShown));
  }
  console.log(
    `first title frame after navigation: median ${ms(quantile(firsts, 0.5))} ms, ` +
      `min ${ms(Math.min(...firsts))}, max ${ms(Math.max(...firsts))} (${firsts.length} loads)`,
  );

  await play(page, "the page's choice");
  await page.goto(`${url}/index.html?stats&webgl`);
  await firstFrame(page);
  await play(page, '?webgl');

  const scripted = await browser.newPage();
  await scripted.addInitScript(() => {
    const wait = (window.kawauoLongestWait = {last: performance.now(), longest: 0});
    setInterval(() => {
      const now = performance.now();
      wait.longest = Math.max(wait.longest, now - wait.last);
      wait.last = now;
    }, 10);
  });
  const begun = Date.now();
  await scripted.goto(`${url}/index.html?script=${encodeURIComponent(scriptPath)}`);
  await waitFor(scripted, 'the end of the script', () => document.body.dataset.ended !== undefined, null, 3600);
  const took = Date.now() - begun;
  const [ended, longest] = await scripted.evaluate(() => [
    document.body.dataset.ended,
    window.kawauoLongestWait.longest,
  ]);
  console.log(
    `?script=${scriptPath}: ended with ${ended} ${ms(took / 1000)} s after navigation, ` +
      `the page unanswered for at most ${ms(longest)} ms`,
  );
  await browser.close();
})().catch(error => {
  console.error(error);
  process.exit(1);
});
