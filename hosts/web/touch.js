// The on-screen controls of a touch screen: each element with data-key=NAME
// (the sim's key names) is that key, held while a finger is on it, as the
// keyboard's keys are (Module.kawauoPress hands it to the game's merge of
// keyboard and pads). Every finger counts on its own, so one thumb holds a
// direction while the other presses a move; a finger slid from one control
// to another lets go of the first and holds the second.
'use strict';
(function() {
  var held = new Map();  // pointerId of a finger put down on the controls: the control under it, or null

  function controlAt(x, y) {
    var element = document.elementFromPoint(x, y);
    return element ? element.closest('.controls [data-key]') : null;
  }

  function press(control, down) {
    if (Module.kawauoPress) Module.kawauoPress(control.dataset.key, down);
    var stillHeld = down;
    held.forEach(function(other) { if (other === control) stillHeld = true; });
    control.classList.toggle('held', stillHeld);
  }

  // The finger `id` is now on `control` (null: on none).
  function move(id, control) {
    var was = held.get(id) || null;
    held.set(id, control);
    if (was === control) return;
    if (was) press(was, false);
    if (control) press(control, true);
  }

  function follow(event) {
    if (held.has(event.pointerId)) move(event.pointerId, controlAt(event.clientX, event.clientY));
  }
  function lift(event) {
    if (!held.has(event.pointerId)) return;
    move(event.pointerId, null);
    held.delete(event.pointerId);
  }

  document.querySelectorAll('.controls').forEach(function(controls) {
    controls.addEventListener('pointerdown', function(event) {
      if (event.button !== 0) return;
      event.preventDefault();  // no focus taken from the game, no text selected
      move(event.pointerId, controlAt(event.clientX, event.clientY));
    });
    // No scrolling, zooming, long-press menu or mouse events made up from touches.
    controls.addEventListener('touchstart', function(event) { event.preventDefault(); }, {passive: false});
    controls.addEventListener('contextmenu', function(event) { event.preventDefault(); });
  });
  window.addEventListener('pointermove', follow);
  window.addEventListener('pointerup', lift);
  window.addEventListener('pointercancel', lift);
})();
