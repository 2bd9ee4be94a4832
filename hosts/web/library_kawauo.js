// The page's side of the browser's host (hosts/web/web_*.cpp): the canvas,
// the keys and the focus, the pads, the animation frames, the message box
// and the font.
// Linked into kawauo.js with --js-library; the page around it is page.js.
// Everything the page and this side share of one game is the page's Game
// object (game.js), handed to the program as Module.kawauo.
// The picture is drawn by WebGL 2 where a graphics card draws it (the
// indices and the palette uploaded as they are, the colours looked up by
// the card), else on a 2D canvas from the host's conversion: a processor's
// rasteriser (SwiftShader, llvmpipe) costs several times the 2D canvas's
// processor time, as SDL's does on the desktop. The game's anyWebGL (for
// the checks) takes WebGL wherever it is; its drawnBy says which.
// Either way at the whole factor the page asks for (the game's factor),
// nearest neighbour, for the page's CSS to take the rest of the way.
mergeInto(LibraryManager.library, {
  $KawauoWeb: {
    // The KeyboardEvent.code of every key the game takes (kawauo_web_keys):
    // their browser actions are the game's.
    taken: {},
    inputs: [], // [kind, code or name] as web_internal.h numbers them, oldest first
    active: true,
    canvas: null,
    gl: null, // WebGL's program and textures, when drawn by WebGL
    context: null, // else the 2D canvas's
    image: null, // the converted picture in the program's memory
    picture: null, // a 640x480 canvas it is put on before it is enlarged
    frameBegin: 0,

    // Keys typed into the page's own controls (the message box, the menu) are theirs.
    forGame: function (event) {
      return !(event.target instanceof Element && event.target.closest('dialog, button, a, select, input'));
    },
    // Tab is the browser's, to move the focus out of the game to the page's
    // menu and buttons, wherever the game's TAB does nothing: on the title,
    // paused, on the result, while a recording is shown. In play it retires.
    // A key let go always reaches the game, which may have seen it pressed.
    tabLeaves: function (event) {
      if (event.code !== 'Tab' || event.type !== 'keydown') return false;
      var game = Module['kawauo'];
      var watching = game.args.some(function (arg) {
        return arg.indexOf('--play') === 0;
      });
      return watching || game.showing() !== 1;
    },
    onKey: function (event) {
      if (!KawauoWeb.taken[event.code] || !KawauoWeb.forGame(event) || KawauoWeb.tabLeaves(event)) return;
      event.preventDefault(); // F1 help, F3 search, TAB focus, SPACE and arrows scrolling
      if (!event.repeat) KawauoWeb.inputs.push([event.type === 'keydown' ? 1 : 2, event.code]);
    },
    // The game is active while the page has the focus and is seen.
    onFocus: function () {
      var active = document.hasFocus() && document.visibilityState === 'visible';
      if (active === KawauoWeb.active) return;
      KawauoWeb.active = active;
      KawauoWeb.inputs.push([active ? 4 : 3, 0]);
    },
    // Put at 640x480, then enlarged nearest neighbour by the canvas itself.
    draw2d: function (rgba, factor) {
      var image = KawauoWeb.image;
      if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba) {
        image = KawauoWeb.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, 640 * 480 * 4), 640, 480);
      }
      if (factor === 1) {
        KawauoWeb.context.putImageData(image, 0, 0);
        return;
      }
      if (!KawauoWeb.picture) {
        KawauoWeb.picture = document.createElement('canvas');
        KawauoWeb.picture.width = 640;
        KawauoWeb.picture.height = 480;
      }
      KawauoWeb.picture.getContext('2d').putImageData(image, 0, 0);
      KawauoWeb.context.imageSmoothingEnabled = false;
      KawauoWeb.context.drawImage(KawauoWeb.picture, 0, 0, 640 * factor, 480 * factor);
    },
    // A touch control held (down) or let go: the game's key of the sim's `name`.
    press: function (name, down) {
      KawauoWeb.inputs.push([down ? 5 : 6, name]);
    },
    // Until the game ends, however it ends (its signal): a game that has
    // ended hears nothing more, the page's next game is another instance.
    listen: function (game) {
      game.press = KawauoWeb.press;
      var until = {signal: game.listening.signal};
      window.addEventListener('keydown', KawauoWeb.onKey, until);
      window.addEventListener('keyup', KawauoWeb.onKey, until);
      window.addEventListener('blur', KawauoWeb.onFocus, until);
      window.addEventListener('focus', KawauoWeb.onFocus, until);
      document.addEventListener('visibilitychange', KawauoWeb.onFocus, until);
    },
  },

  // The indices as a one-channel integer texture, the palette as a 256x1
  // one, read by whole texels: no filtering, no rounding, every colour exact.
  $KawauoGl__deps: ['$KawauoWeb'],
  $KawauoGl: {
    vertex:
      '#version 300 es\n' +
      'void main() { gl_Position = vec4(vec2(gl_VertexID & 1, gl_VertexID >> 1) * 4.0 - 1.0, 0.0, 1.0); }',
    fragment:
      '#version 300 es\n' +
      'precision highp float; precision highp int;\n' +
      'uniform highp usampler2D indices; uniform highp sampler2D palette; uniform int factor;\n' +
      'out vec4 colour;\n' +
      'void main() {\n' +
      '  ivec2 at = ivec2(gl_FragCoord.xy) / factor;\n' +
      '  uint index = texelFetch(indices, ivec2(at.x, 479 - at.y), 0).r;\n' +
      '  colour = vec4(texelFetch(palette, ivec2(int(index), 0), 0).rgb, 1.0);\n' +
      '}',
    texture: function (gl, unit, format, width, height) {
      var texture = gl.createTexture();
      gl.activeTexture(gl.TEXTURE0 + unit);
      gl.bindTexture(gl.TEXTURE_2D, texture);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
      gl.texStorage2D(gl.TEXTURE_2D, 1, format, width, height);
      return texture;
    },
    // The program and its textures on `gl`; null when it cannot be made.
    make: function (gl) {
      var program = gl.createProgram();
      [
        [gl.VERTEX_SHADER, KawauoGl.vertex],
        [gl.FRAGMENT_SHADER, KawauoGl.fragment],
      ].forEach(function (part) {
        var shader = gl.createShader(part[0]);
        gl.shaderSource(shader, part[1]);
        gl.compileShader(shader);
        gl.attachShader(program, shader);
      });
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
        console.error('WebGL: ' + gl.getProgramInfoLog(program));
        return null;
      }
      gl.useProgram(program);
      gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
      var made = {gl: gl, factor: gl.getUniformLocation(program, 'factor')};
      made.indices = KawauoGl.texture(gl, 0, gl.R8UI, 640, 480);
      made.palette = KawauoGl.texture(gl, 1, gl.RGBA8, 256, 1);
      gl.uniform1i(gl.getUniformLocation(program, 'indices'), 0);
      gl.uniform1i(gl.getUniformLocation(program, 'palette'), 1);
      return made;
    },
    attributes: {alpha: false, antialias: false, depth: false, stencil: false, preserveDrawingBuffer: true}, // for the page's reads of it
    // Asked of a canvas of its own: the page's, once given WebGL, can no longer be 2D.
    drawnByCard: function () {
      var gl = document.createElement('canvas').getContext('webgl2', KawauoGl.attributes);
      if (!gl) return false;
      var info = gl.getExtension('WEBGL_debug_renderer_info');
      var renderer = String(gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER));
      var lose = gl.getExtension('WEBGL_lose_context');
      if (lose) lose.loseContext();
      return !/SwiftShader|llvmpipe|softpipe|Software|swrast/i.test(renderer);
    },
    open: function (canvas) {
      if (!Module['kawauo'].anyWebGL && !KawauoGl.drawnByCard()) return null;
      var gl = canvas.getContext('webgl2', KawauoGl.attributes);
      if (!gl) return null;
      canvas.addEventListener('webglcontextlost', function (event) {
        event.preventDefault();
      });
      canvas.addEventListener('webglcontextrestored', function () {
        KawauoWeb.gl = KawauoGl.make(gl);
      });
      return KawauoGl.make(gl);
    },
    draw: function (made, pixels, palette, factor) {
      var gl = made.gl;
      gl.activeTexture(gl.TEXTURE0);
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 640, 480, gl.RED_INTEGER, gl.UNSIGNED_BYTE, HEAPU8, pixels);
      gl.activeTexture(gl.TEXTURE1);
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 256, 1, gl.RGBA, gl.UNSIGNED_BYTE, HEAPU8, palette);
      gl.viewport(0, 0, 640 * factor, 480 * factor);
      gl.uniform1i(made.factor, factor);
      gl.drawArrays(gl.TRIANGLES, 0, 3);
    },
  },

  // Returns what it found, as web::Canvas numbers it. Opened again (a
  // display closed and opened), the canvas and its listeners are as they were.
  kawauo_web_open__deps: ['$KawauoWeb', '$KawauoGl'],
  kawauo_web_open: function () {
    if (KawauoWeb.canvas) return KawauoWeb.gl ? 2 : 1;
    var game = Module['kawauo'];
    var canvas = game.canvas;
    if (!canvas) return 0;
    KawauoWeb.gl = KawauoGl.open(canvas);
    if (!KawauoWeb.gl) KawauoWeb.context = canvas.getContext('2d', {alpha: false});
    if (!KawauoWeb.gl && !KawauoWeb.context) return 0;
    KawauoWeb.canvas = canvas;
    game.drawnBy = KawauoWeb.gl ? 'webgl' : '2d';
    KawauoWeb.listen(game);
    return KawauoWeb.gl ? 2 : 1;
  },

  kawauo_web_scale_mode: function (integer) {
    Module['kawauo'].tell('scale', integer ? 'integer' : 'fit');
  },

  // The canvas is 640x480 times the page's whole factor; a change clears it,
  // so it is made here, just before it is drawn again.
  kawauo_web_show__deps: ['$KawauoWeb', '$KawauoGl'],
  // A game the page has stopped (game.js's fail) draws no more: the canvas
  // is the next game's.
  kawauo_web_show: function (pixels, palette, rgba) {
    var game = Module['kawauo'];
    if (game.ended) return;
    var canvas = KawauoWeb.canvas,
      factor = game.factor;
    if (canvas.width !== 640 * factor || canvas.height !== 480 * factor) {
      canvas.width = 640 * factor;
      canvas.height = 480 * factor;
    }
    if (KawauoWeb.gl) KawauoGl.draw(KawauoWeb.gl, pixels, palette, factor);
    else KawauoWeb.draw2d(rgba, factor);
    var now = performance.now();
    game.shown(now, now - KawauoWeb.frameBegin);
    KawauoWeb.frameBegin = now;
  },

  kawauo_web_animation_frame__deps: ['$KawauoWeb'],
  // A game the page has stopped is never woken again: it stays where it is.
  kawauo_web_animation_frame: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      requestAnimationFrame(function (time) {
        if (Module['kawauo'].ended) return;
        KawauoWeb.frameBegin = performance.now();
        wakeUp(time);
      });
    });
  },

  kawauo_web_next_input__deps: ['$KawauoWeb'],
  kawauo_web_next_input: function (kind, name, size) {
    var input = KawauoWeb.inputs.shift();
    if (!input) return 0;
    HEAP32[kind >> 2] = input[0];
    var bytes = new TextEncoder().encode(String(input[1])).subarray(0, size - 1);
    HEAPU8.set(bytes, name);
    HEAPU8[name + bytes.length] = 0;
    return 1;
  },

  kawauo_web_keys__deps: ['$KawauoWeb'],
  kawauo_web_keys: function (codes) {
    KawauoWeb.taken = {};
    UTF8ToString(codes)
      .split(' ')
      .forEach(function (code) {
        KawauoWeb.taken[code] = true;
      });
  },

  // The standard mapping's buttons as bits, the left stick as -32767..32767.
  kawauo_web_pad: function (index, buttons, stickX, stickY) {
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
  kawauo_web_message_box: function (caption, text) {
    return Asyncify.handleSleep(function (wakeUp) {
      caption = UTF8ToString(caption);
      text = UTF8ToString(text);
      console.error(caption + ': ' + text);
      Module['kawauo'].messageBox(caption, text).then(function () {
        wakeUp(0);
      });
    });
  },

  // A note for the page's status line ('' takes it away).
  kawauo_web_note: function (text) {
    Module['kawauo'].tell('note', UTF8ToString(text));
  },

  // The font the page fetches after the title's files, once the game wants
  // it, copied into memory the program keeps. Only the callback runs once:
  // the call itself runs again when the game resumes.
  kawauo_web_font__deps: ['malloc'],
  kawauo_web_font: function (glyphs, glyphsSize, cp932, cp932Size) {
    return Asyncify.handleSleep(function (wakeUp) {
      var game = Module['kawauo'];
      game.wantFont().then(function (font) {
        if (game.ended) return;
        [
          [font.glyphs, glyphs, glyphsSize],
          [font.cp932, cp932, cp932Size],
        ].forEach(function (table) {
          var at = _malloc(table[0].byteLength);
          HEAPU8.set(table[0], at);
          HEAPU32[table[1] >> 2] = at;
          HEAPU32[table[2] >> 2] = table[0].byteLength;
        });
        wakeUp(0);
      });
    });
  },

  kawauo_web_debug_line: function (text) {
    console.debug(UTF8ToString(text));
  },

  kawauo_web_shot: function (name, pixels, palette) {
    Module['kawauo'].shots[UTF8ToString(name)] = {
      pixels: HEAPU8.slice(pixels, pixels + 640 * 480),
      palette: HEAPU8.slice(palette, palette + 256 * 4),
    };
  },

  kawauo_web_ended: function (status) {
    Module['kawauo'].exit(status);
  },
});
