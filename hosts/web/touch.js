// The on-screen controls of a touch screen: each element with data-key=NAME
// (the sim's key names) is that key, held while a finger is on it, as the
// keyboard's keys are (the game's press hands it to the game's merge of
// keyboard and pads). Every finger counts on its own, so one thumb holds a
// direction while the other presses a move; a finger slid from one control
// to another lets go of the first and holds the second. A control marked
// data-hold (Retire, which ends the run) acts only once a finger has held
// it for kHoldFrames of the game's frames, filling as it is held: a tap by
// mistake never costs a run. Each is a button
// named for what it does in the game's language (texts.js), the key a small
// hint; SPACE's name follows what the game shows (start, pause, go on, the
// title). A button pressed without a finger (a screen reader, a switch) is a
// tap of its key.
//   new TouchControls(): listens to the page's controls.
//   controls.follow(game): the keys go to `game` from now on.
import {say} from './texts.js';
import {tap} from './presses.js';

const kShowingEvery = 250; // milliseconds between looks at what the game shows
const kHoldFrames = 45; // of the game's frames (0.75 s) a data-hold control is held before it acts

function controlAt(x, y) {
  const element = document.elementFromPoint(x, y);
  return element ? element.closest('.controls [data-key]') : null;
}

export class TouchControls {
  constructor() {
    this.held = new Map(); // pointerId of a finger put down on the controls: the control under it, or null
    this.filling = new Map(); // a data-hold control held: its hold, {from: the game's frame it began at}
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
    const stillHeld = down || [...this.held.values()].includes(control);
    if ('hold' in control.dataset) {
      this.fill(control, stillHeld);
      return;
    }
    if (this.game && this.game.press) this.game.press(control.dataset.key, down);
    control.classList.toggle('held', stillHeld);
  }

  // A data-hold control fills each frame while held, and taps its key once
  // full; let go, it empties, and acts no more until held anew.
  fill(control, held) {
    const game = this.game;
    if (!held || !game) {
      this.filling.delete(control);
      control.style.setProperty('--held', '0');
      return;
    }
    if (this.filling.has(control)) return; // a second finger on it
    const hold = {from: game.frames};
    this.filling.set(control, hold);
    const step = () => {
      if (this.filling.get(control) !== hold || this.game !== game) return;
      const part = Math.min(1, (game.frames - hold.from) / kHoldFrames);
      control.style.setProperty('--held', String(part));
      if (part < 1) requestAnimationFrame(step);
      else tap(game, control.dataset.key);
    };
    requestAnimationFrame(step);
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
