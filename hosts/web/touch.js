// The on-screen controls of a touch screen: each element with data-key=NAME
// (the sim's key names) is that key, held while a finger is on it, as the
// keyboard's keys are (the game's press hands it to the game's merge of
// keyboard and pads). Every finger counts on its own, so one thumb holds a
// direction while the other presses a move; a finger slid from one control
// to another lets go of the first and holds the second. Each is a button
// named for what it does in the game's language (texts.js), the key a small
// hint; SPACE's name follows what the game shows (start, pause, go on, the
// title). A button pressed without a finger (a screen reader, a switch) is a
// tap of its key.
//   new TouchControls(): listens to the page's controls.
//   controls.follow(game): the keys go to `game` from now on.
import {say} from './texts.js';
import {tap} from './presses.js';

const kShowingEvery = 250; // milliseconds between looks at what the game shows

function controlAt(x, y) {
  const element = document.elementFromPoint(x, y);
  return element ? element.closest('.controls [data-key]') : null;
}

export class TouchControls {
  constructor() {
    this.held = new Map(); // pointerId of a finger put down on the controls: the control under it, or null
    this.game = null;
    for (const controls of document.querySelectorAll('.controls')) {
      controls.addEventListener('pointerdown', event => {
        if (event.button !== 0) return;
        event.preventDefault(); // no focus taken from the game, no text selected
        this.move(event.pointerId, controlAt(event.clientX, event.clientY));
      });
      // No scrolling, zooming, long-press menu or mouse events made up from touches.
      controls.addEventListener('touchstart', event => event.preventDefault(), {passive: false});
      controls.addEventListener('contextmenu', event => event.preventDefault());
      controls.addEventListener('click', event => {
        const control = event.target.closest('[data-key]');
        if (control && event.detail === 0 && this.game) tap(this.game, control.dataset.key);
      });
    }
    this.spaceName = document.getElementById('space-name');
    const name = () => this.nameSpace();
    document.addEventListener('kawauo-language', name);
    setInterval(name, kShowingEvery);
    name();
    window.addEventListener('pointermove', event => {
      if (this.held.has(event.pointerId)) this.move(event.pointerId, controlAt(event.clientX, event.clientY));
    });
    const lift = event => {
      if (!this.held.has(event.pointerId)) return;
      this.move(event.pointerId, null);
      this.held.delete(event.pointerId);
    };
    window.addEventListener('pointerup', lift);
    window.addEventListener('pointercancel', lift);
  }

  follow(game) {
    this.game = game;
    this.nameSpace();
  }

  // SPACE named for what it does now.
  nameSpace() {
    const showing = this.game ? this.game.showing() : null;
    const text = say('space')[showing ?? 0] || say('space')[0];
    if (this.spaceName.textContent !== text) this.spaceName.textContent = text;
  }

  press(control, down) {
    if (this.game && this.game.press) this.game.press(control.dataset.key, down);
    const stillHeld = down || [...this.held.values()].includes(control);
    control.classList.toggle('held', stillHeld);
  }

  // The finger `id` is now on `control` (null: on none).
  move(id, control) {
    const was = this.held.get(id) || null;
    this.held.set(id, control);
    if (was === control) return;
    if (was) this.press(was, false);
    if (control) this.press(control, true);
  }
}
