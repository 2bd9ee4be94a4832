// The header says what the keys do now, from what the game shows (the
// program's kawauo_showing, read a few times a second): the title, play,
// play paused, the result; on a touch screen what the buttons do; or that
// the page needs the focus first; in the game's language (texts.js). Nothing
// before the game's first picture (the loader speaks until then), nothing
// once the game has ended (the page says how). The header never cuts its
// own help: where the line does not fit, the menu folds into its button
// first, then the line takes its short form.
//   new KeysStatus(watching, replaying): watching() names the recording shown,
//     or null; replaying(showing) is the pair said while a link's run is shown
//     (links.js), or null.
//   status.follow(game): says what `game` shows.
import {say} from './texts.js';

const kEveryMilliseconds = 200;

export class KeysStatus {
  constructor(watching, replaying) {
    this.watching = watching;
    this.replaying = replaying;
    this.header = document.querySelector('header');
    this.status = document.getElementById('status');
    this.game = null;
    this.said = '';
    const say = () => this.say();
    window.addEventListener('focus', say);
    window.addEventListener('blur', say);
    window.addEventListener('resize', say);
    document.addEventListener('kawauo-language', say);
    setInterval(say, kEveryMilliseconds);
  }

  follow(game) {
    this.game = game;
    this.said = '';
    game.addEventListener('firstframe', () => this.say());
  }

  // The long and the short form of what the header says now; null: not its turn.
  pair() {
    const showing = this.game && this.game.showing();
    if (showing === null || showing === undefined) return null;
    const touch = document.body.classList.contains('touch');
    if (!document.hasFocus())
      return touch ? [say('tapToPlay'), say('tapToPlay')] : [say('clickToPlay'), say('clickToPlay')];
    const replaying = this.replaying(showing);
    if (replaying) return replaying;
    const watching = this.watching();
    if (watching) return [say('watching', watching), say('watchingShort')];
    const texts = say(touch ? 'touchShowing' : 'showing');
    return texts[showing] || texts[0];
  }

  say() {
    const pair = this.pair();
    const text = pair ? pair[0] : this.status.textContent;
    const key = `${text}|${this.header.clientWidth}`;
    if (key === this.said) return;
    this.said = key;
    this.fit(pair || [text, text]);
  }

  overflows() {
    const {status, header} = this;
    return status.scrollWidth > status.clientWidth || header.scrollWidth > header.clientWidth;
  }

  // The long form with the menu in the header; else the menu folded; else the short form.
  fit([long, short]) {
    const body = document.body;
    this.status.textContent = long;
    this.status.title = long;
    body.classList.remove('menu-folded');
    if (!this.overflows()) return;
    body.classList.add('menu-folded');
    if (this.overflows()) this.status.textContent = short;
  }
}
