// The header says what the keys do now, from what the game shows (the
// program's kawauo_showing, read a few times a second): the title, play,
// play paused, the result; or that the page needs the focus first. In a
// narrow header, the short form. Once the game has ended the header is page.js's.
'use strict';
(function() {
  var status = document.getElementById('status');
  // As sim::Showing numbers them: the long form, the short.
  var texts = [
    ['SPACE to start, ESC to quit.', 'SPACE: start · ESC: quit'],
    ['Arrows swim, F1 F2 F3 moves, SPACE pauses, TAB retires.', 'F1–F3 moves · SPACE: pause · TAB: retire'],
    ['Paused: SPACE to go on, ESC to quit.', 'Paused · SPACE: go on'],
    ['SPACE for the title, ESC to quit.', 'SPACE: title · ESC: quit'],
  ];
  var said = '';

  function say() {
    if (!Module.calledRun || document.body.dataset.ended !== undefined) return;
    var watching = kawauoChoices.watching();
    var pair = !document.hasFocus() ? ['Click the picture to play.', 'Tap the picture to play.']
               : watching ? ['Watching ' + watching + ': ESC leaves.', 'Watching: ESC leaves']
                          : texts[Module._kawauo_showing()] || texts[0];
    var key = pair[0] + status.parentNode.clientWidth;
    if (key === said) return;
    said = key;
    status.textContent = pair[0];
    if (status.scrollWidth > status.clientWidth) status.textContent = pair[1];
    status.title = pair[0];
  }

  window.addEventListener('focus', say);
  window.addEventListener('blur', say);
  window.addEventListener('resize', say);
  setInterval(say, 200);
})();
