// A first visit to the web page on a phone's network, measured in Debian's
// headless Chromium: 1.6 Mbps down, 150 ms each request, from a plain
// static server, an empty cache each time. Prints the time from navigation
// to the title's first picture and the bytes fetched for it, then to the
// font's arrival (fetched after the title's files) and the bytes of the
// whole visit, each visit and the medians, with the machine's load.
//   NODE_PATH=tests/e2e/web/node_modules node bench/web_first_visit.js URL [VISITS]
'use strict';
const os = require('os');
const {chromium} = require('playwright-core');
const {firstVisit} = require('../tests/e2e/web/browser');

const [url, visits = '5'] = process.argv.slice(2);

(async () => {
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: ['--no-sandbox']});
  const titles = [];
  const fonts = [];
  const seconds = ms => `${(ms / 1000).toFixed(2)} s`;
  const kb = bytes => `${Math.round(bytes / 1024)} KB`;
  try {
    for (let i = 0; i < Number(visits); ++i) {
      const {title, bytes, font, whole} = await firstVisit(browser, url);
      titles.push(title);
      fonts.push(font);
      console.log(
        `visit ${i + 1}: the title at ${seconds(title)}, ${kb(bytes)}; the font at ${seconds(font)}, ${kb(whole)} in all`,
      );
    }
  } finally {
    await browser.close();
  }
  const median = values => [...values].sort((a, b) => a - b)[values.length >> 1];
  const load = os.loadavg().map(value => value.toFixed(1));
  console.log(
    `median: the title at ${seconds(median(titles))}, the font at ${seconds(median(fonts))}; ` +
      `load ${load.join(' ')} on ${os.cpus().length} cores`,
  );
})().catch(error => {
  console.error(error);
  process.exit(1);
});
