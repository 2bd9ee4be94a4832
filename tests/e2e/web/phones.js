// The page in any window and on phones: the picture as large as the
// desktop's fit rule makes it in its room (hosts/core/picture_area.h),
// whole factors when integer scaling is chosen, the keys table in sight at
// 1366x768; on emulated phones (touch, held upright and sideways) no
// sideways scrolling, a header of one line, a control for every key beside
// or below the picture and never over it, a touch on SPACE starting a run,
// UP held swimming up while another finger starts a move (in the trace),
// and the header saying what the keys do.
//   node phones.js URL
'use strict';
const {firstFrame, framesPass, frames, last, eventually, onPhoneAt, runChecks} = require('./browser');

const [url] = process.argv.slice(2);
const kKeys = ['SPACE', 'TAB', 'LEFT', 'UP', 'RIGHT', 'DOWN', 'F1', 'F2', 'F3'];

// picture_area.h's rule, for a room of `width` x `height` device pixels.
function pictureArea(width, height, integer) {
  const scale = Math.min(Math.floor(width / 640), Math.floor(height / 480));
  if (scale >= 1 && integer) return [640 * scale, 480 * scale];
  if (width * 3 <= height * 4) return [width, Math.floor((width * 3) / 4)];
  return [Math.floor((height * 4) / 3), height];
}

// Sizes and places of what the checks look at, in CSS pixels.
const measure = page =>
  page.evaluate(names => {
    const box = element => {
      const r = element.getBoundingClientRect();
      return {x: r.x, y: r.y, width: r.width, height: r.height, right: r.right, bottom: r.bottom};
    };
    const header = document.querySelector('header');
    return {
      screen: box(document.getElementById('screen')),
      header: box(header),
      table: box(document.querySelector('#keys table')),
      controls: names.map(name => [name, ...[...document.querySelectorAll(`[data-key="${name}"]`)].map(box)]),
      // Children whose text takes more than a line (two lines are over twice the font's size high).
      headerWrapped: [...header.children]
        .filter(e => {
          const range = document.createRange();
          range.selectNodeContents(e);
          return range.getBoundingClientRect().height >= 2 * parseFloat(getComputedStyle(e).fontSize);
        })
        .map(e => e.id || e.tagName),
      headerCut: header.scrollWidth > header.clientWidth,
      scrollWidth: document.documentElement.scrollWidth,
      width: document.documentElement.clientWidth,
      height: innerHeight,
      ratio: devicePixelRatio,
      status: document.getElementById('status').textContent,
    };
  }, kKeys);

const overlap = (a, b) => a.x < b.right && b.x < a.right && a.y < b.bottom && b.y < a.bottom;
const size = box => `${Math.round(box.width * 10) / 10}x${Math.round(box.height * 10) / 10}`;
// A CSS size that shows `device` pixels: within a device pixel of them.
const shows = (css, device, ratio) => Math.abs(css * ratio - device) <= 1;

async function onDesktop(page, check) {
  await page.setViewportSize({width: 1366, height: 768});
  await page.goto(`${url}/index.html`);
  await firstFrame(page);
  let m = await measure(page);
  const [w, h] = pictureArea(1366, 768 - m.header.height, false);
  check(
    `1366x768, fit: the picture ${size(m.screen)} as the rule gives (${w}x${h}), the height below the header`,
    shows(m.screen.width, w, 1) && shows(m.screen.height, h, 1) && m.screen.bottom === 768,
  );
  check(
    `1366x768: the keys table in sight (${size(m.table)} at ${m.table.x},${m.table.y}), beside the picture`,
    m.table.right <= 1366 && m.table.bottom <= 768 && m.table.x >= m.screen.right,
  );
  await page.evaluate(() => kawauoGame.tell('scale', 'integer'));
  m = await measure(page);
  check(
    `1366x768, integer: the picture ${size(m.screen)}, nearest neighbour`,
    size(m.screen) === '640x480' &&
      (await page.evaluate(() => !document.getElementById('screen').classList.contains('smooth'))),
  );
}

// A phone of `width` x `height` CSS pixels held as given: its layout, then
// a run started and played by touch alone.
async function onPhone(browser, check, width, height, ratio) {
  const held = width < height ? 'upright' : 'sideways';
  const {context, page, touch} = await onPhoneAt(browser, `${url}/index.html?trace`, width, height, ratio);
  const m = await measure(page);
  const name = `${width}x${height} ${held}`;
  check(`${name}: no sideways scrolling (${m.scrollWidth} wide)`, m.scrollWidth <= m.width);
  check(
    `${name}: the header on one line, whole (wrapped: ${m.headerWrapped.join(' ') || 'none'})`,
    m.headerWrapped.length === 0 && !m.headerCut && m.header.height <= 48,
  );
  const missing = m.controls.filter(([, box]) => !box || box.width < 40 || box.height < 40).map(([n]) => n);
  check(`${name}: a control for every key, thumb-sized (${missing.join(' ') || 'all there'})`, missing.length === 0);
  const over = m.controls.filter(([, box]) => box && (overlap(box, m.screen) || box.right > m.width)).map(([n]) => n);
  check(`${name}: no control over the picture or off the page (${over.join(' ') || 'none'})`, over.length === 0);
  if (width < height) {
    const controlsTop = Math.min(...m.controls.map(([, box]) => box.y));
    const [w, h] = pictureArea(Math.floor(width * ratio), Math.floor((controlsTop - m.header.bottom) * ratio), false);
    check(
      `${name}: the picture ${size(m.screen)} fills the width, as the rule gives (${w}x${h} device pixels)`,
      shows(m.screen.width, w, ratio) && shows(m.screen.height, h, ratio) && w === Math.floor(width * ratio),
    );
  } else {
    const room = height - m.header.height;
    check(
      `${name}: the picture ${size(m.screen)} fills the height below the header (${room}), 4:3`,
      shows(m.screen.height, Math.floor(room * ratio), ratio) &&
        Math.abs(m.screen.width * 3 - m.screen.height * 4) <= 4,
    );
  }

  const centre = async key => {
    const box = await page.locator(`[data-key="${key}"]`).boundingBox();
    return {x: box.x + box.width / 2, y: box.y + box.height / 2};
  };
  const space = {...(await centre('SPACE')), id: 1};
  await touch('touchStart', [space]);
  await framesPass(page, 8);
  await touch('touchEnd', []);
  check(`${name}: a touch on SPACE starts a run`, await eventually(5, async () => (await last(page)).scene === 2));
  check(
    `${name}: the header says what the keys do in play ("${(await measure(page)).status}")`,
    await eventually(2, async () => /泳/.test((await measure(page)).status)),
  );

  const before = await last(page);
  const up = {...(await centre('UP')), id: 1};
  await touch('touchStart', [up]);
  await framesPass(page, 18);
  await touch('touchStart', [up, {...(await centre('F1')), id: 2}]); // a second thumb, UP still held
  await framesPass(page, 18);
  await touch('touchEnd', []);
  await framesPass(page, 2);
  const after = await frames(page);
  const end = after.at(-1);
  check(`${name}: UP held swims up (y ${before.fish[10]} -> ${end.fish[10]})`, end.fish[10] < before.fish[10] - 20);
  check(
    `${name}: F1 by a second finger while UP is held starts 魚の底力`,
    after.some(f => f.frame > before.frame && f.moves[1][1] !== 0),
  );
  await context.close();
}

runChecks(async ({browser, page, checks}) => {
  await onDesktop(page, checks.check);
  await onPhone(browser, checks.check, 390, 844, 3);
  await onPhone(browser, checks.check, 915, 412, 2.625);
});
