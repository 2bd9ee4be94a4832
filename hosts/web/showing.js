// The header says what the keys do now, from what the game shows (the
// program's kawauo_showing, read a few times a second): the title, play,
// play paused, the result; or that the page needs the focus first. Nothing
// before the game's first picture (the loader speaks until then), nothing
// once the game has ended (the page says how). In a narrow header, the short form.
//   new KeysStatus(watching): watching() names the recording shown, or null.
//   status.follow(game): says what `game` shows.

// As sim::Showing numbers them: the long form, the short.
const kTexts = [
  ['SPACE to start, ESC to quit.', 'SPACE: start · ESC: quit'],
  ['Arrows swim, F1 F2 F3 moves, SPACE pauses, TAB retires.', 'F1–F3 moves · SPACE: pause · TAB: retire'],
  ['Paused: SPACE to go on, ESC to quit.', 'Paused · SPACE: go on'],
  ['SPACE for the title, ESC to quit.', 'SPACE: title · ESC: quit'],
];
const kEveryMilliseconds = 200;

export class KeysStatus {
  constructor(watching) {
    this.watching = watching;
    this.status = document.getElementById('status');
    this.game = null;
    this.said = '';
    const say = () => this.say();
    window.addEventListener('focus', say);
    window.addEventListener('blur', say);
    window.addEventListener('resize', say);
    setInterval(say, kEveryMilliseconds);
  }

  follow(game) {
    this.game = game;
    this.said = '';
    game.addEventListener('firstframe', () => this.say());
  }

  say() {
    const showing = this.game && this.game.showing();
    if (showing === null || showing === undefined) return;
    const watching = this.watching();
    let pair = kTexts[showing] || kTexts[0];
    if (!document.hasFocus()) pair = ['Click the picture to play.', 'Tap the picture to play.'];
    else if (watching) pair = [`Watching ${watching}: ESC leaves.`, 'Watching: ESC leaves'];
    const status = this.status;
    const key = pair[0] + status.parentNode.clientWidth;
    if (key === this.said) return;
    this.said = key;
    status.textContent = pair[0];
    if (status.scrollWidth > status.clientWidth) status.textContent = pair[1];
    status.title = pair[0];
  }
}
