// Where the page puts the picture, the touch controls and the keys: the
// picture scaled as the desktop scales it (hosts/core/picture_area.h: by
// whole factors with ?scale=integer, else fit, the default: 4:3 and as large
// as its room allows). A whole factor of 640x480 is the browser's to make,
// nearest neighbour; any other size is drawn by the game at the whole factor
// below it (Module.kawauoFactor), nearest neighbour, and taken the rest of
// the way smoothly by the browser. Its room is the window below the header, or
// the screen in full screen; on a touch screen less the controls, beside the
// picture or below it, whichever leaves the larger picture (beside on a
// phone held sideways, below one held upright). On a desktop the keys go
// beside the picture when they fit there, else below it.
'use strict';
(function() {
  var body = document.body;
  var header = document.querySelector('header');
  var stage = document.getElementById('stage');
  var canvas = document.getElementById('screen');
  var pad = document.getElementById('pad');
  var kKeysBeside = 288;  // CSS pixels the keys need beside the picture
  var kKeysWidest = 512;
  var coarse = window.matchMedia('(pointer: coarse)');

  // picture_area.h's rule, in device pixels.
  function pictureArea(width, height, integer) {
    width = Math.max(0, width);
    height = Math.max(0, height);
    var scale = Math.min(Math.floor(width / 640), Math.floor(height / 480));
    if (scale >= 1 && integer) return {width: 640 * scale, height: 480 * scale};
    if (width * 3 <= height * 4) return {width: width, height: Math.floor(width * 3 / 4)};
    return {width: Math.floor(height * 4 / 3), height: height};
  }

  // The picture's area in a room of `width` x `height` CSS pixels less the
  // controls' `side` on either hand and `below` it.
  function areaLess(width, height, side, below) {
    var ratio = window.devicePixelRatio || 1;
    var area = pictureArea(Math.floor((width - 2 * side) * ratio), Math.floor((height - below) * ratio),
                           Module.kawauoScale === 'integer');
    area.below = below;
    return area;
  }

  // The pad is the controls' largest part (the page's CSS sizes it for
  // thumbs): three cells square, the moves two cells wide beside the
  // picture, two rows high below it.
  function placeControls(width, height) {
    if (!body.classList.contains('touch')) return areaLess(width, height, 0, 0);
    var gap = 16;
    var beside = areaLess(width, height, pad.offsetWidth + 2 * gap, 0);
    var below = areaLess(width, height, 0, pad.offsetHeight + 2 * gap);
    return below.width >= beside.width ? below : beside;
  }

  function layout() {
    var ratio = window.devicePixelRatio || 1;
    var full = document.fullscreenElement === stage;
    var width = document.documentElement.clientWidth;
    var height = window.innerHeight - (full ? 0 : header.offsetHeight);
    var area = placeControls(width, height);
    body.classList.toggle('controls-below', area.below > 0);
    var factor = Math.max(1, Math.min(Math.floor(area.width / 640), Math.floor(area.height / 480)));
    var whole = area.width === 640 * factor;
    Module.kawauoFactor = whole ? 1 : factor;
    canvas.classList.toggle('smooth', !whole);
    canvas.style.width = area.width / ratio + 'px';
    canvas.style.height = area.height / ratio + 'px';
    stage.style.height = (area.below ? area.height / ratio + area.below : height) + 'px';
    var left = width - area.width / ratio;
    var beside = !full && !body.classList.contains('touch') && left >= kKeysBeside;
    body.classList.toggle('keys-beside', beside);
    body.style.setProperty('--keys-width', (beside ? Math.min(left, kKeysWidest) : 0) + 'px');
  }

  function useTouch() {
    if (body.classList.contains('touch')) return;
    body.classList.add('touch');
    layout();
  }

  // Where the browser lets a page, full screen keeps the way the phone is held.
  function lockOrientation() {
    if (!document.fullscreenElement || !body.classList.contains('touch')) return;
    var orientation = screen.orientation;
    if (!orientation || !orientation.lock) return;
    orientation.lock(orientation.type.indexOf('portrait') === 0 ? 'portrait' : 'landscape').catch(function() {});
  }

  if (coarse.matches) body.classList.add('touch');
  coarse.addEventListener('change', function() { if (coarse.matches) useTouch(); });
  window.addEventListener('touchstart', useTouch, {passive: true});
  window.addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', function() {
    layout();
    lockOrientation();
  });
  window.kawauoLayout = layout;  // each game's Module calls it (page.js)
  layout();
})();
