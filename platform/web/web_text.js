// Glyphs for the program's fonts, drawn by the page's canvas (see web_font.cpp).
mergeInto(LibraryManager.library, {
  $WebText: {
    canvas: null,
    context: null,
    css: function(family, pixels, bold, italic) {
      return (italic ? 'italic ' : '') + (bold ? 'bold ' : '') + pixels + 'px ' + family;
    },
    scratch: function(size) {
      if (!WebText.canvas) WebText.canvas = document.createElement('canvas');
      var canvas = WebText.canvas;
      if (canvas.width < size || canvas.height < size) {
        canvas.width = canvas.height = size;
        WebText.context = null;
      }
      if (!WebText.context) WebText.context = canvas.getContext('2d', {willReadFrequently: true});
      return WebText.context;
    }
  },

  web_text_face__deps: ['$WebText'],
  web_text_face: function(family, bold, italic, out) {
    var context = WebText.scratch(16);
    context.font = WebText.css(UTF8ToString(family), 1000, bold, italic);
    var m = context.measureText('Mgあ');
    var above = m.fontBoundingBoxAscent || m.actualBoundingBoxAscent || 800;
    var below = m.fontBoundingBoxDescent || m.actualBoundingBoxDescent || 200;
    HEAPF64[out >> 3] = above;
    HEAPF64[(out >> 3) + 1] = below;
  },

  web_text_glyph__deps: ['$WebText'],
  web_text_glyph: function(family, pixels, bold, italic, radians, c, alpha, capacity, box) {
    var text = String.fromCodePoint(c);
    var size = Math.ceil(pixels * 4) + 8;
    var origin = Math.floor(size / 2);
    var context = WebText.scratch(size);
    context.setTransform(1, 0, 0, 1, 0, 0);
    context.clearRect(0, 0, size, size);
    context.font = WebText.css(UTF8ToString(family), pixels, bold, italic);
    context.textBaseline = 'alphabetic';
    context.fillStyle = '#000';
    var advance = Math.round(context.measureText(text).width);
    context.translate(origin, origin);
    context.rotate(-radians);
    context.fillText(text, 0, 0);
    var data = context.getImageData(0, 0, size, size).data;
    var left = size, top = size, right = -1, bottom = -1;
    for (var y = 0; y < size; y++) {
      for (var x = 0; x < size; x++) {
        if (data[(y * size + x) * 4 + 3] >= 128) {
          if (x < left) left = x;
          if (x > right) right = x;
          if (y < top) top = y;
          if (y > bottom) bottom = y;
        }
      }
    }
    var b = box >> 2;
    if (right < 0) {
      HEAP32[b] = HEAP32[b + 1] = HEAP32[b + 2] = HEAP32[b + 3] = 0;
      return advance;
    }
    var w = right - left + 1, h = bottom - top + 1;
    HEAP32[b] = left - origin;
    HEAP32[b + 1] = top - origin;
    HEAP32[b + 2] = w;
    HEAP32[b + 3] = h;
    if (w * h <= capacity) {
      for (var row = 0; row < h; row++) {
        for (var col = 0; col < w; col++) {
          HEAPU8[alpha + row * w + col] = data[((top + row) * size + left + col) * 4 + 3];
        }
      }
    }
    return advance;
  }
});
