// Keys the page presses for the player, as a finger on a control would: a
// tap on the picture is SPACE on the title and the result (start, leave);
// a page hidden during play (another tab, the phone locked) is paused when
// it is seen again; and ending the game from the menu asks first, then is
// ESC. A tap holds its key for two of the game's frames, so that the game,
// which looks at its keys once a frame, sees it down and then up.
//   new Presses(): listens to the picture and to the page being hidden.
//   presses.follow(game): presses for `game` from now on.
//   tap(game, key): `key` (the sim's name) pressed and let go.
//   askToEnd(game): asks whether to end `game`, and ends it if so.

const kShowingTitle = 0; // as sim::Showing numbers them
const kShowingPlay = 1;
const kShowingResult = 3;
const kTapFrames = 2;

export function tap(game, key) {
  if (!game.press || game.ended) return;
  game.press(key, true);
  const until = game.frames + kTapFrames;
  const wait = () => {
    if (game.frames >= until || game.ended) game.press(key, false);
    else requestAnimationFrame(wait);
  };
  requestAnimationFrame(wait);
}

export function askToEnd(game) {
  const ask = document.getElementById('ask');
  ask.returnValue = '';
  ask.addEventListener(
    'close',
    () => {
      document.getElementById('screen').focus({preventScroll: true});
      if (ask.returnValue === 'yes') tap(game, 'ESCAPE');
    },
    {once: true},
  );
  ask.showModal();
}

export class Presses {
  constructor() {
    this.game = null;
    this.hiddenInPlay = false;
    const canvas = document.getElementById('screen');
    canvas.addEventListener('pointerdown', event => {
      canvas.focus({preventScroll: true});
      if (event.pointerType === 'mouse' || !this.game) return;
      const showing = this.game.showing();
      if (showing === kShowingTitle || showing === kShowingResult) tap(this.game, 'SPACE');
    });
    // A swipe on the picture moves nothing: no scrolling, no zoom.
    canvas.addEventListener('touchstart', event => event.preventDefault(), {passive: false});
    document.addEventListener('visibilitychange', () => {
      if (!this.game) return;
      if (document.visibilityState === 'hidden') {
        this.hiddenInPlay = this.game.showing() === kShowingPlay;
      } else if (this.hiddenInPlay && this.game.showing() === kShowingPlay) {
        this.hiddenInPlay = false;
        tap(this.game, 'SPACE');
      }
    });
  }

  follow(game) {
    this.game = game;
    this.hiddenInPlay = false;
  }
}
