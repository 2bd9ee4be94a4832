// Where the page puts the picture, the touch controls and the keys: the
// picture scaled as the desktop scales it (hosts/core/picture_area.h: by
// whole factors with ?scale=integer, else fit, the default: 4:3 and as large
// as its room allows). A whole factor of 640x480 is the browser's to make,
// nearest neighbour; any other size is drawn by the game at the whole factor
// below it (the game's factor), nearest neighbour, and taken the rest of
// the way smoothly by the browser. Its room is the window below the header, or
// the screen in full screen; on a touch screen the controls go below the
// picture or beside it, whichever leaves the larger picture: beside on a
// phone or a tablet held sideways, where they take the letterbox the 4:3
// picture leaves at its sides (the picture narrowed only as far as their
// narrowest needs, so on a phone it takes the whole height), below on one
// held upright; either way at the screen's edges, under the thumbs. On a
// desktop the keys go beside the picture when they fit there, else below it.
//   new Layout(): places everything now and whenever the window changes.
//   layout.follow(game): the game's scale is followed, its factor set.
const kKeysBeside = 288; // CSS pixels the keys need beside the picture
const kKeysWidest = 512;
const kGap = 16; // CSS pixels around the touch controls below the picture
// The touch controls beside the picture: each side's strip at least this
// wide (the pad two thumb-sized cells of 44 px across, with its gaps and
// margins), its cells at most 64 px.
const kSideLeast = 104;
const kCellLeast = 44;
const kCellMost = 64;
const kSideSpare = 16; // a strip's margins and the gap between two cells

// picture_area.h's rule, in device pixels.
function pictureArea(width, height, integer) {
  width = Math.max(0, width);
  height = Math.max(0, height);
  const scale = Math.min(Math.floor(width / 640), Math.floor(height / 480));
  if (scale >= 1 && integer) return {width: 640 * scale, height: 480 * scale};
  if (width * 3 <= height * 4) return {width, height: Math.floor((width * 3) / 4)};
  return {width: Math.floor((height * 4) / 3), height};
}

export class Layout {
  constructor() {
    this.body = document.body;
    this.header = document.querySelector('header');
    this.stage = document.getElementById('stage');
    this.canvas = document.getElementById('screen');
    this.pad = document.getElementById('pad');
    this.integer = false;
    this.game = null;
    const coarse = window.matchMedia('(pointer: coarse)');
    if (coarse.matches) this.body.classList.add('touch');
    coarse.addEventListener('change', () => {
      if (coarse.matches) this.useTouch();
    });
    window.addEventListener('touchstart', () => this.useTouch(), {passive: true});
    window.addEventListener('resize', () => this.place());
    document.addEventListener('fullscreenchange', () => {
      this.place();
      this.lockOrientation();
    });
    this.place();
  }

  // The scale `game` runs with is the one laid out, and the factor it draws at is this page's.
  follow(game) {
    this.game = game;
    game.factor = this.factor;
    game.addEventListener('scale', event => {
      this.integer = event.detail === 'integer';
      this.place();
    });
  }

  // The picture's area in a room of `width` x `height` CSS pixels less the
  // controls' `side` on either hand and `below` it.
  areaLess(width, height, side, below) {
    const ratio = window.devicePixelRatio || 1;
    const area = pictureArea(
      Math.floor((width - 2 * side) * ratio),
      Math.floor((height - below) * ratio),
      this.integer,
    );
    area.below = below;
    return area;
  }

  // Below the picture the pad is the controls' largest part (the page's
  // CSS sizes it for thumbs): three cells high. Beside it, the controls take
  // the letterbox, widened to kSideLeast where it is narrower.
  placeControls(width, height) {
    if (!this.body.classList.contains('touch')) return this.areaLess(width, height, 0, 0);
    const ratio = window.devicePixelRatio || 1;
    let beside = this.areaLess(width, height, 0, 0);
    if ((width - beside.width / ratio) / 2 < kSideLeast) beside = this.areaLess(width, height, kSideLeast, 0);
    beside.side = Math.floor((width - beside.width / ratio) / 2);
    const below = this.areaLess(width, height, 0, this.pad.offsetHeight + 2 * kGap);
    return below.width > beside.width ? below : beside;
  }

  place() {
    const {body, stage, canvas} = this;
    const ratio = window.devicePixelRatio || 1;
    const full = document.fullscreenElement === stage;
    const width = document.documentElement.clientWidth;
    const height = window.innerHeight - (full ? 0 : this.header.offsetHeight);
    const area = this.placeControls(width, height);
    body.classList.toggle('controls-below', area.below > 0);
    if (area.side) {
      const cell = Math.max(kCellLeast, Math.min(kCellMost, Math.floor((area.side - kSideSpare) / 2)));
      body.style.setProperty('--side', `${area.side}px`);
      body.style.setProperty('--side-cell', `${cell}px`);
    }
    const factor = Math.max(1, Math.min(Math.floor(area.width / 640), Math.floor(area.height / 480)));
    const whole = area.width === 640 * factor;
    this.factor = whole ? 1 : factor;
    if (this.game) this.game.factor = this.factor;
    canvas.classList.toggle('smooth', !whole);
    canvas.style.width = `${area.width / ratio}px`;
    canvas.style.height = `${area.height / ratio}px`;
    stage.style.height = `${area.below ? area.height / ratio + area.below : height}px`;
    const left = width - area.width / ratio;
    const beside = !full && !body.classList.contains('touch') && left >= kKeysBeside;
    body.classList.toggle('keys-beside', beside);
    body.style.setProperty('--keys-width', `${beside ? Math.min(left, kKeysWidest) : 0}px`);
  }

  useTouch() {
    if (this.body.classList.contains('touch')) return;
    this.body.classList.add('touch');
    this.place();
  }

  // Where the browser lets a page, full screen keeps the way the phone is held.
  lockOrientation() {
    if (!document.fullscreenElement || !this.body.classList.contains('touch')) return;
    const orientation = screen.orientation;
    if (!orientation || !orientation.lock) return;
    orientation.lock(orientation.type.startsWith('portrait') ? 'portrait' : 'landscape').catch(() => {});
  }
}
