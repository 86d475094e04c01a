'use strict';
// The page's part of bench/catch-up-figures.sh: the page in Debian's Chromium (headless, SwiftShader)
// opens a room whose log is RECORDING and catches up on it, undrawn in 50 ms slices with a frame
// drawn between them, as on opening a room's link. A relay's clock cannot be run ahead, so this script
// serves the page and plays the relay's part for that one seat: the welcome, and the recording as the
// room's log when the page asks for it; no tick follows. Timed from the log sent to the state hash
// the page reports for the log's last tick; one line a run: "page MS HASH".
//   node catch-up-figures.js WEB-BUILD RECORDING RUNS
const fs = require('fs');
const path = require('path');
const {WebSocketServer} = require('ws');
const lib = require('../tests/web/lib');

const kRoom = 'c0ffee';

// One run: resolves to the milliseconds from the log to the last tick's hash, and that hash.
async function catchUp(browser, url, server, recording) {
  const frames = Number(/^frames (\d+)$/m.exec(recording)[1]);
  const seed = /^autopilot \S+ (\d+)$/m.exec(recording)[1];
  const sockets = new WebSocketServer({noServer: true});
  server.removeAllListeners('upgrade');
  server.on('upgrade', (request, socket, head) => sockets.handleUpgrade(request, socket, head, (ws) => sockets.emit('connection', ws)));
  const done = new Promise((resolve, reject) => {
    sockets.on('connection', (ws) => {
      let logSent = 0;
      ws.send('welcome ' + kRoom + ' 0 ' + frames + ' ' + seed);
      ws.send('delay 3');
      ws.on('message', (data) => {
        const text = String(data);
        if (text == 'log') {
          logSent = performance.now();
          ws.send('log\n' + recording);
        } else if (text.startsWith('ping ')) {
          ws.send('pong ' + text.slice(5));
        } else if (text.startsWith('hash ' + frames + ' ')) {
          resolve({ms: performance.now() - logSent, hash: text.split(' ')[2]});
        }
      });
      ws.on('close', () => reject(new Error('the page left the room')));
    });
  });
  const context = await browser.newContext({serviceWorkers: 'block'});
  const page = await context.newPage();
  await page.goto(url + '?room=' + kRoom);
  try {
    return await Promise.race([done, new Promise((_, reject) => setTimeout(() => reject(new Error('no hash for tick ' + frames + ' in 300 s')), 300000))]);
  } finally {
    await context.close();
    sockets.close();
  }
}

(async () => {
  const [dir, file, runs] = process.argv.slice(2);
  const recording = fs.readFileSync(file, 'utf8');
  const server = await lib.serve(path.resolve(dir));
  const browser = await lib.launch();
  try {
    for (let i = 0; i < Number(runs); i++) {
      const {ms, hash} = await catchUp(browser, server.url, server, recording);
      console.log('page ' + ms.toFixed(0) + ' ' + hash);
    }
  } finally {
    await browser.close();
    server.close();
  }
})().catch((e) => {
  console.error('catch-up-figures.js: ' + e.message);
  process.exit(1);
});
