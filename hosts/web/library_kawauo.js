// The page's side of the browser's host (hosts/web/web_*.cpp): the canvas,
// the keys and the focus, the pads, the animation frames and the message box.
// Linked into kawauo.js with --js-library; the page around it is page.js.
mergeInto(LibraryManager.library, {
  $KawauoWeb: {
    // KeyboardEvent.code to the game's keys (the VK_ codes of win.h), as the
    // SDL host maps them: the arrows also on WASD and the keypad, F1-F3 on 1-3.
    keys: {
      Space: 0x20, Tab: 0x09, Escape: 0x1B,
      ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
      F1: 0x70, F2: 0x71, F3: 0x72,
      KeyA: 0x25, KeyW: 0x26, KeyD: 0x27, KeyS: 0x28,
      Numpad4: 0x25, Numpad8: 0x26, Numpad6: 0x27, Numpad2: 0x28,
      Digit1: 0x70, Digit2: 0x71, Digit3: 0x72,
    },
    inputs: [],  // [kind, key] as web_internal.h numbers them, oldest first
    active: true,
    context: null,
    image: null,
    frameBegin: 0,

    // Keys typed into the page's own controls (the message box, the menu) are theirs.
    forGame: function(event) {
      return !(event.target instanceof Element && event.target.closest('dialog, button, a, select, input'));
    },
    onKey: function(event) {
      var key = KawauoWeb.keys[event.code];
      if (!key || !KawauoWeb.forGame(event)) return;
      event.preventDefault();  // F1 help, F3 search, TAB focus, SPACE and arrows scrolling
      if (!event.repeat) KawauoWeb.inputs.push([event.type === 'keydown' ? 1 : 2, key]);
    },
    // The game is active while the page has the focus and is seen.
    onFocus: function() {
      var active = document.hasFocus() && document.visibilityState === 'visible';
      if (active === KawauoWeb.active) return;
      KawauoWeb.active = active;
      KawauoWeb.inputs.push([active ? 4 : 3, 0]);
    },
    listen: function() {
      window.addEventListener('keydown', KawauoWeb.onKey);
      window.addEventListener('keyup', KawauoWeb.onKey);
      window.addEventListener('blur', KawauoWeb.onFocus);
      window.addEventListener('focus', KawauoWeb.onFocus);
      document.addEventListener('visibilitychange', KawauoWeb.onFocus);
    },
    // A game that has ended hears nothing more: the page's next game is another instance.
    unlisten: function() {
      window.removeEventListener('keydown', KawauoWeb.onKey);
      window.removeEventListener('keyup', KawauoWeb.onKey);
      window.removeEventListener('blur', KawauoWeb.onFocus);
      window.removeEventListener('focus', KawauoWeb.onFocus);
      document.removeEventListener('visibilitychange', KawauoWeb.onFocus);
    },
  },

  kawauo_web_open__deps: ['$KawauoWeb'],
  kawauo_web_open: function() {
    var canvas = Module['canvas'];
    KawauoWeb.context = canvas ? canvas.getContext('2d', {alpha: false}) : null;
    if (!KawauoWeb.context) return 0;
    KawauoWeb.listen();
    return 1;
  },

  kawauo_web_scale_mode: function(integer) {
    Module['kawauoScale'] = integer ? 'integer' : 'fit';
    if (Module['kawauoLayout']) Module['kawauoLayout']();
  },

  kawauo_web_show__deps: ['$KawauoWeb'],
  kawauo_web_show: function(rgba) {
    var image = KawauoWeb.image;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba) {
      image = KawauoWeb.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, 640 * 480 * 4), 640, 480);
    }
    KawauoWeb.context.putImageData(image, 0, 0);
    var now = performance.now();
    if (Module['kawauoFirstShown'] === undefined) Module['kawauoFirstShown'] = now;
    var stats = Module['kawauoStats'];
    if (stats && stats.work.length < 100000) {
      stats.work.push(now - KawauoWeb.frameBegin);
      stats.shown.push(now);
    }
    KawauoWeb.frameBegin = now;
  },

  kawauo_web_animation_frame__deps: ['$KawauoWeb'],
  kawauo_web_animation_frame: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      requestAnimationFrame(function(time) {
        KawauoWeb.frameBegin = performance.now();
        wakeUp(time);
      });
    });
  },

  kawauo_web_next_input__deps: ['$KawauoWeb'],
  kawauo_web_next_input: function(kind, key) {
    var input = KawauoWeb.inputs.shift();
    if (!input) return 0;
    HEAP32[kind >> 2] = input[0];
    HEAP32[key >> 2] = input[1];
    return 1;
  },

  // The standard mapping's buttons as bits, the left stick as -32767..32767.
  kawauo_web_pad: function(index, buttons, stickX, stickY) {
    var pads = navigator.getGamepads ? navigator.getGamepads() : [];
    var pad = pads[index];
    if (!pad || !pad.connected) return 0;
    var bits = 0;
    for (var b = 0; b < pad.buttons.length && b < 32; ++b) {
      if (pad.buttons[b].pressed) bits |= 1 << b;
    }
    HEAPU32[buttons >> 2] = bits >>> 0;
    HEAP32[stickX >> 2] = Math.round((pad.axes[0] || 0) * 32767);
    HEAP32[stickY >> 2] = Math.round((pad.axes[1] || 0) * 32767);
    return 1;
  },

  // Also on the console, for whoever reads it; the game waits for the OK.
  // Only the callback runs once: the call itself runs again when the game resumes.
  kawauo_web_message_box: function(caption, text) {
    return Asyncify.handleSleep(function(wakeUp) {
      caption = UTF8ToString(caption);
      text = UTF8ToString(text);
      console.error(caption + ': ' + text);
      var show = Module['kawauoMessageBox'];
      if (show) show(caption, text, function() { wakeUp(0); });
      else wakeUp(0);
    });
  },

  kawauo_web_debug_line: function(text) {
    console.debug(UTF8ToString(text));
  },

  kawauo_web_shot: function(name, pixels, palette) {
    var shots = Module['kawauoShots'];
    if (shots) shots[UTF8ToString(name)] = {
      pixels: HEAPU8.slice(pixels, pixels + 640 * 480),
      palette: HEAPU8.slice(palette, palette + 256 * 4),
    };
  },

  kawauo_web_ended__deps: ['$KawauoWeb'],
  kawauo_web_ended: function(status) {
    KawauoWeb.unlisten();
    if (Module['kawauoEnded']) Module['kawauoEnded'](status);
  },
});
