// Where the page puts the picture, the touch controls and the keys: the
// picture scaled as the desktop scales it (hosts/core/picture_area.h: by
// whole factors with ?scale=integer, else fit, the default: 4:3 and as large
// as its room allows). A whole factor of 640x480 is the browser's to make,
// nearest neighbour; any other size is drawn by the game at the whole factor
// below it (the game's factor), nearest neighbour, and taken the rest of
// the way smoothly by the browser. Its room is the window below the header, or
// the screen in full screen; on a touch screen less the controls, beside the
// picture or below it, whichever leaves the larger picture (beside on a
// phone held sideways, below one held upright). On a desktop the keys go
// beside the picture when they fit there, else below it.
//   new Layout(): places everything now and whenever the window changes.
//   layout.follow(game): the game's scale is followed, its factor set.
const kKeysBeside = 288; // CSS pixels the keys need beside the picture
const kKeysWidest = 512;
const kGap = 16; // CSS pixels around the touch controls

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

  // The pad is the controls' largest part (the page's CSS sizes it for
  // thumbs): three cells square, the moves two cells wide beside the
  // picture, two rows high below it.
  placeControls(width, height) {
    if (!this.body.classList.contains('touch')) return this.areaLess(width, height, 0, 0);
    const beside = this.areaLess(width, height, this.pad.offsetWidth + 2 * kGap, 0);
    const below = this.areaLess(width, height, 0, this.pad.offsetHeight + 2 * kGap);
    return below.width >= beside.width ? below : beside;
  }

  place() {
    const {body, stage, canvas} = this;
    const ratio = window.devicePixelRatio || 1;
    const full = document.fullscreenElement === stage;
    const width = document.documentElement.clientWidth;
    const height = window.innerHeight - (full ? 0 : this.header.offsetHeight);
    const area = this.placeControls(width, height);
    body.classList.toggle('controls-below', area.below > 0);
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
