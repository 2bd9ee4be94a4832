// What the web checks share: Debian's Chromium through playwright-core, the
// canvas read back, keys held across frames, and the ok/FAIL lines.
'use strict';
const {chromium} = require('playwright-core');

async function launch() {
  // Debian's own Chromium: playwright-core never downloads a browser.
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: ['--no-sandbox']});
  const page = await browser.newPage({viewport: {width: 1280, height: 1024}});
  const checks = {passed: 0, failed: 0, errors: []};
  page.on('console', message => { if (message.type() === 'error') checks.errors.push(message.text()); });
  page.on('pageerror', error => checks.errors.push(String(error)));
  checks.check = (what, ok) => {
    console.log(`${ok ? 'ok' : 'FAIL'}: ${what}`);
    ok ? ++checks.passed : ++checks.failed;
  };
  return {browser, page, checks};
}

// The canvas's pixels, RGBA.
async function canvasRgba(page) {
  const base64 = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const data = canvas.getContext('2d').getImageData(0, 0, 640, 480).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    return btoa(text);
  });
  return Buffer.from(base64, 'base64');
}

// Held across several frames: the game looks at its keys once a frame.
async function hold(page, key, ms = 120) {
  await page.keyboard.down(key);
  await page.waitForTimeout(ms);
  await page.keyboard.up(key);
  await page.waitForTimeout(150);
}

function report(checks) {
  for (const error of checks.errors) console.log(`  console: ${error}`);
  console.log(`web: ${checks.passed} passed, ${checks.failed} failed`);
  process.exitCode = checks.failed === 0 ? 0 : 1;
}

module.exports = {launch, canvasRgba, hold, report};
