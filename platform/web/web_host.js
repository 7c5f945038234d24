// The page's side of the web host: the card to tap, the canvas, the page's input events, the
// animation frames the program waits for, and Web Audio pulling the program's mix. With
// #selftest at the end of its address the page also checks itself (see WebPage.check).
mergeInto(LibraryManager.library, {
  $WebPage: {
    events: [],
    keys: null,  // made in init: a library object holds only plain values
    buttons: 0,
    wake: null,
    opened: null,
    picture: null,
    pictureContext: null,
    screen: null,
    screenContext: null,
    factor: 1,
    audio: null,
    audioOn: false,
    analyser: null,
    lastDown: null,
    check: null,

    init: function() {
      if (WebPage.screen) return;
      WebPage.keys = new Set();
      WebPage.screen = document.getElementById('screen');
      WebPage.screenContext = WebPage.screen.getContext('2d', {alpha: false});
      WebPage.picture = document.createElement('canvas');
      WebPage.picture.width = 640;
      WebPage.picture.height = 480;
      WebPage.pictureContext = WebPage.picture.getContext('2d', {alpha: false});
      var hash = location.hash || '';
      if (hash.indexOf('#selftest') === 0) WebPage.check = WebPage.makeCheck(hash);
      WebPage.listen();
      WebPage.layout();
    },

    post: function(kind, a, b, c) {
      WebPage.events.push([kind, a | 0, b | 0, c | 0]);
      if (WebPage.wake) WebPage.wake();
    },

    // Virtual-key codes from the page's key names (the key's place, whatever the layout).
    virtualKey: function(e) {
      var code = e.code || '';
      var m;
      if ((m = /^Key([A-Z])$/.exec(code))) return m[1].charCodeAt(0);
      if ((m = /^Digit([0-9])$/.exec(code))) return 0x30 + Number(m[1]);
      if ((m = /^Numpad([0-9])$/.exec(code))) return 0x60 + Number(m[1]);
      if ((m = /^F([0-9]{1,2})$/.exec(code)) && Number(m[1]) >= 1 && Number(m[1]) <= 24) {
        return 0x6F + Number(m[1]);
      }
      var named = {
        Backspace: 0x08, Tab: 0x09, Enter: 0x0D, NumpadEnter: 0x0D, ShiftLeft: 0x10,
        ShiftRight: 0x10, ControlLeft: 0x11, ControlRight: 0x11, AltLeft: 0x12, AltRight: 0x12,
        Pause: 0x13, CapsLock: 0x14, Escape: 0x1B, Space: 0x20, PageUp: 0x21, PageDown: 0x22,
        End: 0x23, Home: 0x24, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27,
        ArrowDown: 0x28, Insert: 0x2D, Delete: 0x2E, NumpadMultiply: 0x6A, NumpadAdd: 0x6B,
        NumpadSubtract: 0x6D, NumpadDecimal: 0x6E, NumpadDivide: 0x6F, Semicolon: 0xBA,
        Equal: 0xBB, Comma: 0xBC, Minus: 0xBD, Period: 0xBE, Slash: 0xBF, Backquote: 0xC0,
        BracketLeft: 0xDB, Backslash: 0xDC, BracketRight: 0xDD, Quote: 0xDE
      };
      if (named[code]) return named[code];
      return e.keyCode || 0;  // an on-screen keyboard may name no key
    },

    // Picture coordinates of a pointer event, clamped to the picture.
    pointAt: function(e) {
      var r = WebPage.screen.getBoundingClientRect();
      var w = WebPage.picture.width, h = WebPage.picture.height;
      var x = Math.floor((e.clientX - r.left) * w / Math.max(1, r.width));
      var y = Math.floor((e.clientY - r.top) * h / Math.max(1, r.height));
      return [Math.min(w - 1, Math.max(0, x)), Math.min(h - 1, Math.max(0, y))];
    },

    toggleFullScreen: function() {
      if (document.fullscreenElement) {
        document.exitFullscreen().catch(function() {});
      } else if (document.documentElement.requestFullscreen) {
        document.documentElement.requestFullscreen().catch(function() {});
      }
    },

    listen: function() {
      var card = document.getElementById('card');
      var open = function(e) {
        if (!WebPage.opened) return;
        if (e) e.preventDefault();
        // A phone shows the greeting on the whole screen; a computer keeps its window.
        if (e && e.pointerType === 'touch') WebPage.toggleFullScreen();
        var opened = WebPage.opened;
        WebPage.opened = null;
        WebPage.startAudio();
        card.hidden = true;
        opened();
      };
      card.addEventListener('pointerup', open);
      window.addEventListener('keydown', function(e) {
        var alt = e.altKey;
        if (e.code === 'F11' || (alt && e.code === 'Enter') || (alt && e.code === 'NumpadEnter')) {
          e.preventDefault();
          if (!e.repeat) WebPage.toggleFullScreen();
          return;
        }
        if (WebPage.opened) {
          open(e);
          return;
        }
        var key = WebPage.virtualKey(e);
        if (!key) return;
        e.preventDefault();  // arrows and space would scroll, F-keys would do the browser's work
        WebPage.keys.add(key);
        WebPage.post(1, key, e.repeat ? 1 : 0, alt ? 1 : 0);
      });
      window.addEventListener('keyup', function(e) {
        var key = WebPage.virtualKey(e);
        if (!key || !WebPage.keys.has(key)) return;
        e.preventDefault();
        WebPage.keys.delete(key);
        WebPage.post(2, key, 0, e.altKey ? 1 : 0);
      });
      var screen = WebPage.screen;
      screen.addEventListener('pointermove', function(e) {
        var p = WebPage.pointAt(e);
        WebPage.post(3, p[0], p[1], 0);
      });
      screen.addEventListener('pointerdown', function(e) {
        // A tap is a click: touch and pen come as the left button.
        var button = e.button === 2 ? 2 : 1;
        var p = WebPage.pointAt(e);
        screen.setPointerCapture(e.pointerId);
        WebPage.buttons |= button;
        WebPage.post(3, p[0], p[1], 0);
        var last = WebPage.lastDown;
        var twice = last && last.button === button && e.timeStamp - last.time < 500 &&
                    Math.abs(last.x - p[0]) <= 4 && Math.abs(last.y - p[1]) <= 4;
        WebPage.lastDown = twice ? null : {button: button, time: e.timeStamp, x: p[0], y: p[1]};
        WebPage.post(twice ? 6 : 4, button, p[0], p[1]);
        e.preventDefault();
      });
      var up = function(e) {
        var button = e.button === 2 ? 2 : 1;
        if (!(WebPage.buttons & button)) return;
        WebPage.buttons &= ~button;
        var p = WebPage.pointAt(e);
        WebPage.post(5, button, p[0], p[1]);
      };
      screen.addEventListener('pointerup', up);
      screen.addEventListener('pointercancel', up);
      screen.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      document.addEventListener('visibilitychange', function() {
        WebPage.post(8, document.hidden ? 0 : 1, 0, 0);
      });
      window.addEventListener('resize', WebPage.layout);
      document.addEventListener('fullscreenchange', WebPage.layout);
    },

    // The picture as large as the window allows with its 4:3 kept: a whole-factor nearest
    // neighbour copy in the canvas, the rest of the way smooth by the browser.
    layout: function() {
      var w = WebPage.picture.width, h = WebPage.picture.height;
      var scale = Math.min(window.innerWidth / w, window.innerHeight / h);
      if (!(scale > 0)) scale = 1;
      var factor = Math.max(1, Math.floor(scale * (window.devicePixelRatio || 1)));
      var screen = WebPage.screen;
      screen.style.width = Math.floor(w * scale) + 'px';
      screen.style.height = Math.floor(h * scale) + 'px';
      if (screen.width !== w * factor || screen.height !== h * factor) {
        screen.width = w * factor;
        screen.height = h * factor;
      }
      WebPage.factor = factor;
      WebPage.draw();
    },

    draw: function() {
      var c = WebPage.screenContext;
      c.imageSmoothingEnabled = false;
      c.drawImage(WebPage.picture, 0, 0, WebPage.screen.width, WebPage.screen.height);
    },

    startAudio: function() {
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context || WebPage.audio) return;
      var context;
      try {
        context = new Context({sampleRate: 44100});
      } catch (e) {
        context = new Context();  // a browser that keeps its own rate: resampled below
      }
      var node = context.createScriptProcessor(2048, 0, 2);
      // The mix is made at 44100 Hz and read at the context's rate, between its frames: the
      // frames made and not yet passed wait here, `place` being where the next read falls.
      var step = 44100 / context.sampleRate;
      var room = Math.ceil(2048 * step) + 8;
      var heldLeft = new Float32Array(room), heldRight = new Float32Array(room);
      var held = 0, place = 0;
      node.onaudioprocess = function(e) {
        var left = e.outputBuffer.getChannelData(0);
        var right = e.outputBuffer.getChannelData(1);
        var n = left.length;
        if (!WebPage.audioOn) {
          left.fill(0);
          right.fill(0);
          return;
        }
        var passed = Math.floor(place + n * step);
        var need = Math.min(room, passed + 2);
        if (held < need) {
          var at = _web_host_render_audio(need - held) >> 1;
          var mix = HEAP16;  // after the call: the heap may have grown
          for (var m = 0; held < need; m++, held++) {
            heldLeft[held] = mix[at + 2 * m] / 32768;
            heldRight[held] = mix[at + 2 * m + 1] / 32768;
          }
        }
        for (var i = 0; i < n; i++) {
          var p = place + i * step;
          var k = Math.floor(p);
          var f = p - k;
          left[i] = heldLeft[k] * (1 - f) + heldLeft[k + 1] * f;
          right[i] = heldRight[k] * (1 - f) + heldRight[k + 1] * f;
        }
        heldLeft.copyWithin(0, passed, held);
        heldRight.copyWithin(0, passed, held);
        held -= passed;
        place += n * step - passed;
      };
      var analyser = context.createAnalyser();
      analyser.fftSize = 2048;
      node.connect(analyser);
      analyser.connect(context.destination);
      if (context.resume) context.resume().catch(function() {});
      WebPage.audio = context;
      WebPage.analyser = analyser;
    },

    // Loudest sample the audio graph sends to the speakers just now.
    audioPeak: function() {
      if (!WebPage.analyser) return 0;
      var data = new Float32Array(WebPage.analyser.fftSize);
      WebPage.analyser.getFloatTimeDomainData(data);
      var peak = 0;
      for (var i = 0; i < data.length; i++) peak = Math.max(peak, Math.abs(data[i]));
      return peak;
    },

    showCard: function(text, note) {
      var card = document.getElementById('card');
      document.getElementById('title').textContent = text;
      document.getElementById('note').textContent = note;
      card.hidden = false;
    },

    // #selftest&frames=60,600&end=900: taps the card, notes a digest of the canvas as frames
    // 60 and 600 are shown (with the moment of the show each shows), presses Escape after
    // frame 900 and, once the show has ended, writes what it saw into #verdict as JSON. The
    // program runs on the renderer's steady clock, or with &clock=real on the page's own.
    makeCheck: function(hash) {
      var params = {};
      hash.substring(1).split('&').forEach(function(part) {
        var kv = part.split('=');
        params[kv[0]] = kv[1] || '';
      });
      var check = {
        frames: (params.frames || '').split(',').filter(Boolean).map(Number),
        end: Number(params.end || 0),
        realClock: params.clock === 'real',
        shown: 0,
        digests: {},
        errors: [],
        audioPeak: 0,
        moment: 0,
        passes: 0,
        passWork: 0,
        escapeAt: 0,
        boxes: [],
        card: ''  // the title on the card to tap
      };
      var record = function(text) { check.errors.push(String(text)); };
      window.addEventListener('error', function(e) { record(e.message); });
      window.addEventListener('unhandledrejection', function(e) { record(e.reason); });
      var consoleError = console.error;
      console.error = function() {
        record(Array.prototype.join.call(arguments, ' '));
        consoleError.apply(console, arguments);
      };
      return check;
    },

    // FNV-1a over the R, G, B bytes of the picture's pixels as the canvas shows them.
    digest: function() {
      var w = WebPage.picture.width, h = WebPage.picture.height, k = WebPage.factor;
      var data = WebPage.screenContext.getImageData(0, 0, w * k, h * k).data;
      var hash = 0x811c9dc5;
      for (var y = 0; y < h; y++) {
        for (var x = 0; x < w; x++) {
          var at = ((y * k) * w * k + x * k) * 4;
          for (var c = 0; c < 3; c++) {
            hash ^= data[at + c];
            hash = Math.imul(hash, 0x01000193) >>> 0;
          }
        }
      }
      return ('00000000' + hash.toString(16)).slice(-8);
    },

    writeVerdict: function(state) {
      var check = WebPage.check;
      var verdict = {
        state: state,
        shown: check.shown,
        digests: check.digests,
        errors: check.errors,
        audioPeak: check.audioPeak,
        passes: check.passes,
        passMilliseconds: check.passes ? check.passWork / check.passes : 0,
        escapeAt: check.escapeAt,
        boxes: check.boxes,
        card: check.card,
        documentTitle: document.title,
        page: document.getElementById('title').textContent
      };
      document.getElementById('verdict').textContent = JSON.stringify(verdict);
    }
  },

  web_page_wait_for_open__deps: ['$WebPage'],
  web_page_wait_for_open: function(title) {
    WebPage.init();
    var text = UTF8ToString(title);
    return Asyncify.handleSleep(function(wakeUp) {
      WebPage.opened = function() { wakeUp(); };
      document.title = text;
      WebPage.showCard(text, 'Tap to open');
      if (WebPage.check) {
        WebPage.check.card = document.getElementById('title').textContent;
        setTimeout(function() {
          document.getElementById('card').dispatchEvent(new PointerEvent('pointerup'));
        }, 100);
      }
    });
  },

  web_page_self_test__deps: ['$WebPage'],
  web_page_self_test: function() {
    WebPage.init();
    if (!WebPage.check) return 0;
    return WebPage.check.realClock ? 2 : 1;
  },

  web_page_ended__deps: ['$WebPage'],
  web_page_ended: function() {
    if (document.fullscreenElement) document.exitFullscreen().catch(function() {});
    WebPage.audioOn = false;
    if (WebPage.audio) WebPage.audio.close().catch(function() {});
    WebPage.audio = null;
    WebPage.analyser = null;
    WebPage.showCard(document.title + ' has ended.', 'Reload the page to see it again.');
    document.body.classList.add('ended');
    if (WebPage.check) WebPage.writeVerdict('ended');
  },

  web_page_set_title: function(title) {
    document.title = UTF8ToString(title);
  },

  web_page_next_event__deps: ['$WebPage'],
  web_page_next_event: function(out) {
    var e = WebPage.events.shift();
    if (!e) return 0;
    for (var i = 0; i < 4; i++) HEAP32[(out >> 2) + i] = e[i];
    return 1;
  },

  web_page_wait_frame__deps: ['$WebPage'],
  web_page_wait_frame: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      requestAnimationFrame(function() {
        var check = WebPage.check;
        if (check && WebPage.audioOn) check.audioPeak = Math.max(check.audioPeak, WebPage.audioPeak());
        wakeUp();
      });
    });
  },

  web_page_wait_event__deps: ['$WebPage'],
  web_page_wait_event: function(milliseconds) {
    if (WebPage.events.length) return;
    return Asyncify.handleSleep(function(wakeUp) {
      var timer = 0;
      var done = function() {
        clearTimeout(timer);
        WebPage.wake = null;
        wakeUp();
      };
      timer = setTimeout(done, milliseconds);
      WebPage.wake = done;
    });
  },

  web_page_present__deps: ['$WebPage'],
  web_page_present: function(rgba, width, height) {
    var picture = WebPage.picture;
    if (picture.width !== width || picture.height !== height) {
      picture.width = width;
      picture.height = height;
      WebPage.layout();
    }
    var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    WebPage.pictureContext.putImageData(new ImageData(pixels, width, height), 0, 0);
    WebPage.draw();
    var check = WebPage.check;
    if (!check) return;
    check.shown++;
    if (check.frames.indexOf(check.shown) >= 0) {
      check.digests[check.shown] = {digest: WebPage.digest(), moment: check.moment};
    }
    if (check.end && check.shown === check.end) {
      check.escapeAt = check.shown;
      WebPage.keys.add(0x1B);
      WebPage.post(1, 0x1B, 0, 0);
      WebPage.keys.delete(0x1B);
      WebPage.post(2, 0x1B, 0, 0);
    }
  },

  web_page_pass_started__deps: ['$WebPage'],
  web_page_pass_started: function(moment) {
    if (WebPage.check) WebPage.check.moment = moment;
  },

  web_page_pass_done__deps: ['$WebPage'],
  web_page_pass_done: function(milliseconds) {
    var check = WebPage.check;
    if (!check) return;
    check.passes++;
    check.passWork += milliseconds;
  },

  web_page_cursor__deps: ['$WebPage'],
  web_page_cursor: function(visible) {
    WebPage.screen.style.cursor = visible ? 'default' : 'none';
  },

  web_page_key_down__deps: ['$WebPage'],
  web_page_key_down: function(key) {
    if (key === 1 || key === 2) return (WebPage.buttons & key) ? 1 : 0;
    return WebPage.keys.has(key) ? 1 : 0;
  },

  web_page_open_audio__deps: ['$WebPage'],
  web_page_open_audio: function() {
    if (!WebPage.audio) return 0;
    WebPage.audioOn = true;
    return 1;
  },

  web_page_close_audio__deps: ['$WebPage'],
  web_page_close_audio: function() {
    WebPage.audioOn = false;
  },

  web_page_message_box__deps: ['$WebPage'],
  web_page_message_box: function(caption, text, question) {
    var title = UTF8ToString(caption), body = UTF8ToString(text);
    if (WebPage.check) {
      WebPage.check.boxes.push(title + ': ' + body);
      return -1;
    }
    if (question) return window.confirm(title + '\n\n' + body) ? 1 : 0;
    window.alert(title + '\n\n' + body);
    return 1;
  }
});
