'use strict';
// What the browser tests share: the page served on 127.0.0.1 from the build, Debian's Chromium
// headless with WebGL on SwiftShader, and the pixels of a screenshot.
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const { chromium } = require('playwright-core');

const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml', '.data': 'application/octet-stream'};

// Serves DIR on 127.0.0.1 at a free port; resolves to the server, its address in server.url.
function serve(dir) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(dir, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(dir) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => {
    server.url = 'http://127.0.0.1:' + server.address().port + '/';
    resolve(server);
  }));
}

// Debian's Chromium, or with WebGL turned off when asked.
async function launch(withoutWebGL) {
  return chromium.launch({executablePath: '/usr/bin/chromium',
                          args: ['--headless=new'].concat(withoutWebGL ? ['--disable-3d-apis']
                                                                        : ['--use-gl=swiftshader', '--enable-unsafe-swiftshader'])});
}

// Opens the page and, unless told not to, waits for its first frames; page.problems collects
// console errors and uncaught exceptions.
async function openPage(browser, url, noRun) {
  const context = await browser.newContext({viewport: {width: 1000, height: 800}});
  const page = await context.newPage();
  page.problems = [];
  page.on('console', (m) => { if (m.type() == 'error') page.problems.push('console: ' + m.text()); });
  page.on('pageerror', (e) => page.problems.push('exception: ' + e.message));
  await page.goto(url);
  if (noRun) return page;
  await page.waitForFunction(() => document.title.startsWith('Start') || document.title.startsWith('FPS'));
  await page.waitForTimeout(1500);
  return page;
}

// A PNG's pixels: {width, height, rgb(x, y)}. 8-bit RGB or RGBA, not interlaced, as Chromium writes.
function decodePng(buffer) {
  const width = buffer.readUInt32BE(16), height = buffer.readUInt32BE(20);
  const depth = buffer[24], type = buffer[25];
  if (depth != 8 || (type != 2 && type != 6) || buffer[28] != 0) throw new Error('unexpected PNG format');
  const channels = type == 6 ? 4 : 3;
  const parts = [];
  for (let at = 8; at < buffer.length;) {
    const length = buffer.readUInt32BE(at), kind = buffer.toString('ascii', at + 4, at + 8);
    if (kind == 'IDAT') parts.push(buffer.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(parts));
  const stride = width * channels;
  const pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x++) {
      const v = raw[y * (stride + 1) + 1 + x];
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predictor = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      pixels[y * stride + x] = (v + predictor) & 255;
    }
  }
  return {width, height, rgb: (x, y) => {
    const i = y * stride + x * channels;
    return [pixels[i], pixels[i + 1], pixels[i + 2]];
  }};
}

// The canvas's four quadrants as pictures, in the order the frame draws them: top left (car 1's
// view), top right (car 0's), bottom left (car 2's), bottom right (the overlay).
async function quadrants(page) {
  const box = await page.locator('#canvas').boundingBox();
  const w = Math.floor(box.width / 2), h = Math.floor(box.height / 2);
  const shots = [];
  for (const [x, y] of [[0, 0], [w, 0], [0, h], [w, h]])
    shots.push(decodePng(await page.screenshot({clip: {x: box.x + x, y: box.y + y, width: w, height: h}})));
  return shots;
}

// How many pixels are mostly of one primary colour: [red, green, blue]; in the middle third across
// and down of the picture when asked.
function countPrimaries(picture, middle) {
  const counts = [0, 0, 0];
  const [x0, x1, y0, y1] = middle ? [picture.width / 3, picture.width * 2 / 3, picture.height / 3, picture.height * 2 / 3]
                                  : [0, picture.width, 0, picture.height];
  for (let y = Math.floor(y0); y < y1; y++)
    for (let x = Math.floor(x0); x < x1; x++) {
      const p = picture.rgb(x, y);
      for (let i = 0; i < 3; i++)
        if (p[i] > 100 && p[(i + 1) % 3] < p[i] / 2 && p[(i + 2) % 3] < p[i] / 2) counts[i]++;
    }
  return counts;
}

// The share of pixels that differ by more than a little between two pictures of one size.
function changedShare(a, b) {
  let changed = 0;
  for (let y = 0; y < a.height; y++)
    for (let x = 0; x < a.width; x++) {
      const p = a.rgb(x, y), q = b.rgb(x, y);
      if (Math.abs(p[0] - q[0]) + Math.abs(p[1] - q[1]) + Math.abs(p[2] - q[2]) > 48) changed++;
    }
  return changed / (a.width * a.height);
}

function check(condition, message) {
  if (!condition) throw new Error(message);
}

// The overlay's text pixels in a picture: magenta, little green.
function countTextPixels(picture) {
  let n = 0;
  for (let y = 0; y < picture.height; y++)
    for (let x = 0; x < picture.width; x++) {
      const p = picture.rgb(x, y);
      if (p[0] > 30 && p[2] > 30 && p[1] < 10) n++;
    }
  return n;
}

// In every page the context opens, each text its room's status takes goes into window.statusTimes with
// the moment it came (performance.now()).
function recordRoomStatus(context) {
  return context.addInitScript(() => {
    window.statusTimes = [];
    document.addEventListener('DOMContentLoaded', () => {
      const status = document.getElementById('room-status');
      new MutationObserver(() => window.statusTimes.push([status.textContent, performance.now()]))
          .observe(status, {childList: true, characterData: true, subtree: true});
    });
  });
}

module.exports = {serve, launch, openPage, recordRoomStatus, decodePng, quadrants, countPrimaries, countTextPixels, changedShare, check};
