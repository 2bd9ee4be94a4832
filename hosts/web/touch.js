// The on-screen controls of a touch screen: each element with data-key=NAME
// (the sim's key names) is that key, held while a finger is on it, as the
// keyboard's keys are (the game's press hands it to the game's merge of
// keyboard and pads). Every finger counts on its own, so one thumb holds a
// direction while the other presses a move; a finger slid from one control
// to another lets go of the first and holds the second.
//   new TouchControls(): listens to the page's controls.
//   controls.follow(game): the keys go to `game` from now on.

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
    }
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
