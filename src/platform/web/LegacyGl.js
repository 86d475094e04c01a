// The GL 1.1 calls the drawing code makes that emscripten's legacy-GL emulation lacks or gets wrong,
// supplied over the emulation itself so that render/ and gl/ stay as they are:
// - the current normal and colour, given to every vertex between glBegin and glEnd (the emulation
//   keeps neither, and a glNormal3f outside glBegin corrupts its vertex buffer);
// - colour material (GL_AMBIENT_AND_DIFFUSE, GL's default): the lighting shader takes the vertex
//   colour for the material;
// - display lists of glBegin/glNormal3f/glVertex3f/glEnd, recorded into arrays and drawn from them;
// - glDrawElements from client memory with byte indices (the emulation reads only 16-bit ones);
// - glRasterPos2f and glBitmap, with GL's raster colour lit as a vertex would be;
// - lines wider than a pixel (WebGL's are at most one wide on most systems), their widths in the
//   canvas's CSS pixels, so that a line is as wide on the screen whatever the drawing buffer's scale;
// - gluLookAt and gluPerspective as GLU makes them, multiplied onto the current matrix (the
//   emulation's gluLookAt leaves the matrix alone, and its gluPerspective replaces it);
// - glReadPixels in GL_RGB, which WebGL need not read;
// - glGetDoublev for the matrices; glShadeModel(GL_SMOOTH) and GL_NORMALIZE, which the shaders
//   already do, and the perspective hint, which WebGL has no need of.
var LibraryKelvaronGl = {
  $KelvaronGl__deps: ['$GLEmulation', '$GLImmediate', 'glBegin', 'glEnd', 'glVertex2f', 'glVertex3f', 'glNormal3f', 'glColor4f',
                      'glEnable', 'glDisable', 'glShadeModel', 'glHint', 'glLineWidth', 'glMatrixMode', 'glPushMatrix',
                      'glPopMatrix', 'glLoadIdentity', 'glOrtho', 'glVertexPointer', 'glNormalPointer',
                      'glEnableClientState', 'glDisableClientState', 'glDrawArrays', 'glDrawElements', 'glReadPixels',
                      'malloc', 'free'],
  $KelvaronGl__postset: 'KelvaronGl.hook();',
  $KelvaronGl: {
    normal: [0, 0, 1],
    color: [1, 1, 1, 1],
    inBegin: false,
    colorMaterial: false,
    lists: {},
    nextList: 1,
    recording: null,  // the list being compiled: {mode, positions, normals}
    raster: {valid: true, x: 0, y: 0, z: 0, color: [1, 1, 1, 1]},
    lineWidth: 1,
    lineScale: 1,     // drawing-buffer pixels to a CSS pixel (Window.cpp)
    wideLines: null,  // the vertices of wide lines being drawn, between glBegin and glEnd
    shortIndices: 0,  // byte indices widened for the emulation, in the wasm heap
    shortIndexCount: 0,
    real: {},

    // Wraps the emulation's entry points the way it wraps WebGL's own: the wasm module is bound to
    // these names after the libraries' set-up has run.
    hook: function() {
      var real = KelvaronGl.real;
      real.begin = _glBegin; real.end = _glEnd; real.vertex3f = _glVertex3f; real.normal3f = _glNormal3f;
      real.color4f = _glColor4f; real.enable = _glEnable; real.disable = _glDisable;
      _glBegin = (mode) => {
        if (KelvaronGl.recording) {
          KelvaronGl.recording.mode = mode;
          return;
        }
        KelvaronGl.inBegin = true;
        if (mode == 0x1 /* GL_LINES */ && KelvaronGl.lineWidth > 1) {
          KelvaronGl.wideLines = [];
          return;
        }
        real.begin(mode);
      };
      _glEnd = () => {
        if (KelvaronGl.recording) return;
        KelvaronGl.inBegin = false;
        var lines = KelvaronGl.wideLines;
        if (lines) {
          KelvaronGl.wideLines = null;
          KelvaronGl.drawWideLines(lines);
          return;
        }
        real.end();
      };
      // Whole pixels, as GL rounds the width of lines drawn without antialiasing.
      _glLineWidth = (width) => { KelvaronGl.lineWidth = Math.max(1, Math.round(width * KelvaronGl.lineScale)); };
      _glNormal3f = (x, y, z) => { KelvaronGl.normal = [x, y, z]; };
      _glColor4f = (r, g, b, a) => {
        KelvaronGl.color = [r, g, b, a];
        if (!KelvaronGl.inBegin) real.color4f(r, g, b, a);
      };
      // glColor3f reaches glColor4f by its other name.
      _emscripten_glColor4f = _glColor4f;
      _glVertex3f = (x, y, z) => {
        var n = KelvaronGl.normal;
        var list = KelvaronGl.recording;
        if (list) {
          list.positions.push(x, y, z);
          list.normals.push(n[0], n[1], n[2]);
          return;
        }
        var c = KelvaronGl.color;
        if (KelvaronGl.wideLines) {
          KelvaronGl.wideLines.push({position: [x, y, z], normal: n.slice(), color: c.slice()});
          return;
        }
        real.color4f(c[0], c[1], c[2], c[3]);
        real.normal3f(n[0], n[1], n[2]);
        real.vertex3f(x, y, z);
      };
      _glVertex2f = (x, y) => { _glVertex3f(x, y, 0); };
      _glEnable = (cap) => { KelvaronGl.setCapability(cap, true); };
      _glDisable = (cap) => { KelvaronGl.setCapability(cap, false); };
      var drawElements = _glDrawElements;
      _glDrawElements = (mode, count, type, indices) => {
        if (type != 0x1401 /* GL_UNSIGNED_BYTE */ || GLctx.currentElementArrayBufferBinding) {
          drawElements(mode, count, type, indices);
          return;
        }
        if (KelvaronGl.shortIndexCount < count) {
          _free(KelvaronGl.shortIndices);
          KelvaronGl.shortIndices = _malloc(count * 2);
          KelvaronGl.shortIndexCount = count;
        }
        HEAPU16.set(HEAPU8.subarray(indices, indices + count), KelvaronGl.shortIndices >> 1);
        drawElements(mode, count, 0x1403 /* GL_UNSIGNED_SHORT */, KelvaronGl.shortIndices);
      };
      var readPixels = _glReadPixels;
      _glReadPixels = (x, y, width, height, format, type, pixels) => {
        if (format != 0x1907 /* GL_RGB */ || type != 0x1401 /* GL_UNSIGNED_BYTE */) {
          readPixels(x, y, width, height, format, type, pixels);
          return;
        }
        var rgba = new Uint8Array(width * height * 4);
        GLctx.readPixels(x, y, width, height, GLctx.RGBA, GLctx.UNSIGNED_BYTE, rgba);
        var alignment = GLctx.getParameter(GLctx.PACK_ALIGNMENT);
        var stride = Math.ceil(width * 3 / alignment) * alignment;
        for (var row = 0; row < height; row++)
          for (var col = 0; col < width; col++)
            for (var c = 0; c < 3; c++)
              HEAPU8[pixels + row * stride + col * 3 + c] = rgba[(row * width + col) * 4 + c];
      };
      _glShadeModel = (mode) => {
        if (mode != 0x1D01 /* GL_SMOOTH */) err('glShadeModel: only GL_SMOOTH is supported');
      };
      // WebGL always interpolates in perspective, and knows no such hint.
      var hint = _glHint;
      _glHint = (target, mode) => {
        if (target != 0xC50 /* GL_PERSPECTIVE_CORRECTION_HINT */) hint(target, mode);
      };
    },

    setCapability: function(cap, on) {
      if (cap == 0xBA1 /* GL_NORMALIZE: the lighting shader normalises every normal */) return;
      if (cap != 0xB57 /* GL_COLOR_MATERIAL */) {
        on ? KelvaronGl.real.enable(cap) : KelvaronGl.real.disable(cap);
        return;
      }
      if (KelvaronGl.colorMaterial == on) return;
      KelvaronGl.colorMaterial = on;
      // The shaders are made and kept by state that does not include colour material: start afresh.
      if (GLImmediate.initted) {
        GLImmediate.currentRenderer = null;
        GLImmediate.rendererCache = GLImmediate.MapTreeLib.create();
      }
    },

    // The emulation's lighting shader takes its material from uniforms; with colour material the
    // ambient and diffuse parts come from the vertex colour instead.
    patchShader: function(source) {
      if (!KelvaronGl.colorMaterial || source.indexOf('u_materialDiffuse') < 0) return source;
      return source.replace('v_color.w = u_materialDiffuse.w;', 'v_color.w = a_color.w;')
                   .split('u_materialAmbient.xyz').join('a_color.xyz')
                   .split('u_materialDiffuse.xyz').join('a_color.xyz');
    },

    // GL's lighting of one vertex in eye space, as the emulation's shader does it, for the raster colour.
    light: function(eyeNormal, color) {
      var material = KelvaronGl.colorMaterial ? {ambient: color, diffuse: color}
                                              : {ambient: GLEmulation.materialAmbient, diffuse: GLEmulation.materialDiffuse};
      var len = Math.hypot(eyeNormal[0], eyeNormal[1], eyeNormal[2]) || 1;
      var n = eyeNormal.map((v) => v / len);
      var out = [0, 1, 2].map((i) => GLEmulation.materialEmission[i] + GLEmulation.lightModelAmbient[i] * material.ambient[i]);
      for (var id = 0; id < GLEmulation.MAX_LIGHTS; id++) {
        if (!GLEmulation.lightEnabled[id]) continue;
        var p = GLEmulation.lightPosition[id];
        var pl = Math.hypot(p[0], p[1], p[2], p[3]) || 1;
        var diffuse = Math.max(0, (n[0] * p[0] + n[1] * p[1] + n[2] * p[2]) / pl);
        for (var i = 0; i < 3; i++)
          out[i] += GLEmulation.lightAmbient[id][i] * material.ambient[i] +
                    diffuse * GLEmulation.lightDiffuse[id][i] * material.diffuse[i];
      }
      return out.map((v) => Math.min(1, Math.max(0, v))).concat([material.diffuse[3]]);
    },

    // The current matrix times m (column-major), as glMultMatrix does.
    multiplyMatrix: function(m) {
      var current = GLImmediate.currentMatrix;
      GLImmediate.matricesModified = true;
      GLImmediate.matrixVersion[current] = (GLImmediate.matrixVersion[current] + 1) | 0;
      GLImmediate.matrixLib.mat4.multiply(GLImmediate.matrix[current], m);
    },

    // Column-major 4x4 matrix times a 4-vector.
    transform: function(m, v) {
      return [0, 1, 2, 3].map((r) => m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3]);
    },

    setRasterPos: function(x, y, z) {
      var mv = GLImmediate.matrix[0], p = GLImmediate.matrix[1];
      var clip = KelvaronGl.transform(p, KelvaronGl.transform(mv, [x, y, z, 1]));
      var w = clip[3];
      var raster = KelvaronGl.raster;
      raster.valid = w > 0 && [0, 1, 2].every((i) => Math.abs(clip[i]) <= w);
      if (!raster.valid) return;
      var vp = GLctx.getParameter(GLctx.VIEWPORT);
      raster.x = vp[0] + (clip[0] / w + 1) * vp[2] / 2;
      raster.y = vp[1] + (clip[1] / w + 1) * vp[3] / 2;
      raster.z = (clip[2] / w + 1) / 2;
      raster.color = KelvaronGl.vertexColor(KelvaronGl.normal, KelvaronGl.color);
    },

    // Triangles in window coordinates (x, y, depth 0..1, r, g, b, a a vertex), unlit, over the
    // viewport, or over the whole drawing buffer as GL's raster operations are.
    drawInWindow: function(vertices, wholeBuffer) {
      var real = KelvaronGl.real;
      var lit = GLEmulation.lightingEnabled;
      var mode = GLImmediate.currentMatrix;
      var viewport = GLctx.getParameter(GLctx.VIEWPORT);
      var area = wholeBuffer ? [0, 0, GLctx.drawingBufferWidth, GLctx.drawingBufferHeight] : viewport;
      GLctx.viewport(area[0], area[1], area[2], area[3]);
      if (lit) real.disable(0xB50 /* GL_LIGHTING */);
      _glMatrixMode(0x1701 /* GL_PROJECTION */);
      _glPushMatrix();
      _glLoadIdentity();
      _glOrtho(area[0], area[0] + area[2], area[1], area[1] + area[3], -1, 1);
      _glMatrixMode(0x1700 /* GL_MODELVIEW */);
      _glPushMatrix();
      _glLoadIdentity();
      real.begin(0x4 /* GL_TRIANGLES */);
      for (var i = 0; i < vertices.length; i += 7) {
        real.color4f(vertices[i + 3], vertices[i + 4], vertices[i + 5], vertices[i + 6]);
        real.vertex3f(vertices[i], vertices[i + 1], 1 - 2 * vertices[i + 2]);  // glOrtho's -1..1: depth 1..0
      }
      real.end();
      _glPopMatrix();
      _glMatrixMode(0x1701 /* GL_PROJECTION */);
      _glPopMatrix();
      _glMatrixMode(mode ? 0x1701 : 0x1700);
      if (lit) real.enable(0xB50 /* GL_LIGHTING */);
      GLctx.viewport(viewport[0], viewport[1], viewport[2], viewport[3]);
      real.color4f.apply(null, KelvaronGl.color);
    },

    // A rectangle as two triangles of one colour at one depth.
    pushRectangle: function(vertices, x0, y0, x1, y1, z, c) {
      [[x0, y0], [x1, y0], [x1, y1], [x0, y0], [x1, y1], [x0, y1]].forEach((v) => {
        vertices.push(v[0], v[1], z, c[0], c[1], c[2], c[3]);
      });
    },

    // The set bits of a bitmap, a rectangle a run of bits in a row, in the raster colour at the
    // raster depth.
    drawBitmap: function(width, height, left, bottom, bits) {
      var alignment = GLctx.getParameter(GLctx.UNPACK_ALIGNMENT);
      var stride = Math.ceil(Math.ceil(width / 8) / alignment) * alignment;
      var raster = KelvaronGl.raster;
      var vertices = [];
      for (var row = 0; row < height; row++) {
        var start = -1;
        for (var col = 0; col <= width; col++) {
          var on = col < width && (HEAPU8[bits + row * stride + (col >> 3)] & (0x80 >> (col & 7)));
          if (on && start < 0) start = col;
          if (!on && start >= 0) {
            KelvaronGl.pushRectangle(vertices, left + start, bottom + row, left + col, bottom + row + 1, raster.z, raster.color);
            start = -1;
          }
        }
      }
      if (vertices.length) KelvaronGl.drawInWindow(vertices, true);
    },

    // The colour GL gives a vertex: lit from its normal (to the eye by the inverse transpose of the
    // model-view matrix), or its own while lighting is off.
    vertexColor: function(normal, color) {
      if (!GLEmulation.lightingEnabled) return color.slice();
      var inverse = GLImmediate.matrixLib.mat4.inverse(GLImmediate.matrixLib.mat4.create(GLImmediate.matrix[0]));
      var eye = [0, 1, 2].map((c) => inverse[c * 4] * normal[0] + inverse[c * 4 + 1] * normal[1] + inverse[c * 4 + 2] * normal[2]);
      return KelvaronGl.light(eye, color);
    },

    // Lines wider than a pixel, as GL draws them without antialiasing: each segment clipped to the
    // near plane, then widened across its minor axis by the width, in window coordinates.
    drawWideLines: function(points) {
      var mv = GLImmediate.matrix[0], p = GLImmediate.matrix[1];
      var vp = GLctx.getParameter(GLctx.VIEWPORT);
      var half = KelvaronGl.lineWidth / 2;
      var toClip = (point) => KelvaronGl.transform(p, KelvaronGl.transform(mv, point.position.concat([1])));
      var toWindow = (c) => [vp[0] + (c[0] / c[3] + 1) * vp[2] / 2, vp[1] + (c[1] / c[3] + 1) * vp[3] / 2, (c[2] / c[3] + 1) / 2];
      var between = (from, to, t) => from.map((v, k) => v + (to[k] - v) * t);
      var vertices = [];
      for (var i = 0; i + 1 < points.length; i += 2) {
        var ca = toClip(points[i]), cb = toClip(points[i + 1]);
        var da = ca[2] + ca[3], db = cb[2] + cb[3];  // how far inside the near plane
        if (da < 0 && db < 0) continue;
        var colorA = KelvaronGl.vertexColor(points[i].normal, points[i].color);
        var colorB = KelvaronGl.vertexColor(points[i + 1].normal, points[i + 1].color);
        if (da < 0) {
          ca = between(ca, cb, da / (da - db));
          colorA = between(colorA, colorB, da / (da - db));
        } else if (db < 0) {
          cb = between(cb, ca, db / (db - da));
          colorB = between(colorB, colorA, db / (db - da));
        }
        var wa = toWindow(ca), wb = toWindow(cb);
        var offset = Math.abs(wb[0] - wa[0]) >= Math.abs(wb[1] - wa[1]) ? [0, half] : [half, 0];
        [[wa, -1, colorA], [wb, -1, colorB], [wb, 1, colorB], [wa, -1, colorA], [wb, 1, colorB], [wa, 1, colorA]].forEach((c) => {
          vertices.push(c[0][0] + c[1] * offset[0], c[0][1] + c[1] * offset[1], c[0][2], c[2][0], c[2][1], c[2][2], c[2][3]);
        });
      }
      if (vertices.length) KelvaronGl.drawInWindow(vertices, false);
    },
  },

  // Starts the emulation on the context just made current through the HTML5 API (emscripten starts it
  // only for contexts it makes itself).
  kelvaron_start_gl_emulation__deps: ['$KelvaronGl'],
  kelvaron_start_gl_emulation: function() {
    var shaderSource = GLctx.shaderSource.bind(GLctx);
    GLctx.shaderSource = (shader, source) => shaderSource(shader, KelvaronGl.patchShader(source));
    Module.useWebGL = true;
    GLImmediate.init();
  },

  kelvaron_scale_line_widths__deps: ['$KelvaronGl'],
  kelvaron_scale_line_widths: function(scale) {
    KelvaronGl.lineScale = scale;
  },

  glGenLists__deps: ['$KelvaronGl'],
  glGenLists: function(range) {
    var first = KelvaronGl.nextList;
    KelvaronGl.nextList += range;
    return first;
  },

  glNewList__deps: ['$KelvaronGl'],
  glNewList: function(list, mode) {
    if (mode != 0x1300 /* GL_COMPILE */) err('glNewList: only GL_COMPILE is supported');
    KelvaronGl.recording = {id: list, mode: 0x4 /* GL_TRIANGLES */, positions: [], normals: []};
  },

  // The list's arrays go to the wasm heap once, where the emulation's client arrays read them.
  glEndList__deps: ['$KelvaronGl', 'glDeleteLists'],
  glEndList: function() {
    var list = KelvaronGl.recording;
    KelvaronGl.recording = null;
    _glDeleteLists(list.id, 1);
    var count = list.positions.length / 3;
    var positions = _malloc(count * 12), normals = _malloc(count * 12);
    HEAPF32.set(list.positions, positions >> 2);
    HEAPF32.set(list.normals, normals >> 2);
    KelvaronGl.lists[list.id] = {mode: list.mode, count: count, positions: positions, normals: normals,
                                 lastNormal: KelvaronGl.normal.slice()};
  },

  glCallList__deps: ['$KelvaronGl'],
  glCallList: function(id) {
    var list = KelvaronGl.lists[id];
    if (!list) return;
    _glEnableClientState(0x8074 /* GL_VERTEX_ARRAY */);
    _glEnableClientState(0x8075 /* GL_NORMAL_ARRAY */);
    _glVertexPointer(3, 0x1406 /* GL_FLOAT */, 0, list.positions);
    _glNormalPointer(0x1406 /* GL_FLOAT */, 0, list.normals);
    _glDrawArrays(list.mode, 0, list.count);
    _glDisableClientState(0x8075 /* GL_NORMAL_ARRAY */);
    _glDisableClientState(0x8074 /* GL_VERTEX_ARRAY */);
    // As in GL, the list leaves the current normal its last one set.
    KelvaronGl.normal = list.lastNormal.slice();
  },

  glDeleteLists__deps: ['$KelvaronGl'],
  glDeleteLists: function(first, range) {
    for (var id = first; id < first + range; id++) {
      var list = KelvaronGl.lists[id];
      if (!list) continue;
      _free(list.positions);
      _free(list.normals);
      delete KelvaronGl.lists[id];
    }
  },

  glRasterPos2f__deps: ['$KelvaronGl'],
  glRasterPos2f: function(x, y) {
    KelvaronGl.setRasterPos(x, y, 0);
  },

  glBitmap__deps: ['$KelvaronGl'],
  glBitmap: function(width, height, xorig, yorig, xmove, ymove, bitmap) {
    var raster = KelvaronGl.raster;
    if (!raster.valid) return;
    if (bitmap && width > 0 && height > 0)
      KelvaronGl.drawBitmap(width, height, Math.floor(raster.x - xorig), Math.floor(raster.y - yorig), bitmap);
    raster.x += xmove;
    raster.y += ymove;
  },

  // GLU's: a matrix of the eye's axes, in floats, then a move by the eye.
  gluLookAt__deps: ['$KelvaronGl'],
  gluLookAt: function(ex, ey, ez, cx, cy, cz, ux, uy, uz) {
    var f = Math.fround;
    var normalise = (v) => {
      var r = f(Math.sqrt(f(f(f(v[0] * v[0]) + f(v[1] * v[1])) + f(v[2] * v[2]))));
      return r == 0 ? v : v.map((x) => f(x / r));
    };
    var cross = (a, b) => [f(f(a[1] * b[2]) - f(a[2] * b[1])), f(f(a[2] * b[0]) - f(a[0] * b[2])),
                           f(f(a[0] * b[1]) - f(a[1] * b[0]))];
    var forward = normalise([f(cx - ex), f(cy - ey), f(cz - ez)]);
    var side = normalise(cross(forward, [f(ux), f(uy), f(uz)]));
    var up = cross(side, forward);
    KelvaronGl.multiplyMatrix([side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0,
                               side[2], up[2], -forward[2], 0, 0, 0, 0, 1]);
    KelvaronGl.multiplyMatrix([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -ex, -ey, -ez, 1]);
  },

  gluPerspective__deps: ['$KelvaronGl'],
  gluPerspective: function(fovy, aspect, near, far) {
    var radians = fovy / 2 * Math.PI / 180;
    var depth = far - near;
    var sine = Math.sin(radians);
    if (depth == 0 || sine == 0 || aspect == 0) return;
    var cotangent = Math.cos(radians) / sine;
    KelvaronGl.multiplyMatrix([cotangent / aspect, 0, 0, 0, 0, cotangent, 0, 0,
                               0, 0, -(far + near) / depth, -1, 0, 0, -2 * near * far / depth, 0]);
  },

  glGetDoublev__deps: ['$KelvaronGl'],
  glGetDoublev: function(pname, params) {
    var matrix = {0xBA6: 0 /* GL_MODELVIEW_MATRIX */, 0xBA7: 1 /* GL_PROJECTION_MATRIX */}[pname];
    if (matrix === undefined) {
      err('glGetDoublev: only the model-view and projection matrices are supported');
      return;
    }
    HEAPF64.set(GLImmediate.matrix[matrix], params >> 3);
  },
};

mergeInto(LibraryManager.library, LibraryKelvaronGl);
