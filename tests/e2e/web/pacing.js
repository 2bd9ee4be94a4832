// The game's pace in the browser on displays of other refresh rates: the
// page's animation frames and clock replaced by a virtual display ticking at
// each rate, two virtual seconds must show 120 game frames, no more on a
// fast display and no fewer on a slow one; and after ten seconds without a
// frame (a background tab) the game goes on from there, not in a rush.
//   node pacing.js URL
'use strict';
const {waitFor, runChecks} = require('./browser');

const [url] = process.argv.slice(2);
const kRates = [50, 60, 75, 120, 144, 240];
const kSeconds = 2;

// Before the page's scripts: a display at `hz` whose frames come only when told.
function virtualDisplay(hz) {
  let now = 0;
  let waiting = [];
  performance.now = () => now;
  window.requestAnimationFrame = callback => waiting.push(callback);
  window.kawauoAway = ms => {
    now += ms;
  };
  window.kawauoTick = () => {
    now += 1000 / hz;
    const due = waiting;
    waiting = [];
    for (const callback of due) callback(now);
  };
}

runChecks(async ({browser, checks}) => {
  for (const hz of kRates) {
    const context = await browser.newContext();
    const tab = await context.newPage();
    await tab.addInitScript(virtualDisplay, hz);
    await tab.goto(`${url}/index.html?stats`);
    await waitFor(tab, 'the first frame', () => window.kawauoGame?.firstShown !== undefined);
    const run = ticks =>
      tab.evaluate(ticks => {
        const before = kawauoGame.stats.shown.length;
        for (let i = 0; i < ticks; ++i) window.kawauoTick();
        return kawauoGame.stats.shown.length - before;
      }, ticks);
    const shown = await run(hz * kSeconds);
    checks.check(`${hz} Hz: ${shown} frames in ${kSeconds} s`, Math.abs(shown - 60 * kSeconds) <= 1);
    await tab.evaluate(() => window.kawauoAway(10000));
    const back = await run(1);
    checks.check(`${hz} Hz: ${back} frame(s) on the first display frame after 10 s away`, back === 1);
    await context.close();
  }
});
