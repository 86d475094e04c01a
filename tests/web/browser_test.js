'use strict';
// The page in Debian's Chromium, headless, WebGL on SwiftShader: nothing mocked.
//   node browser_test.js PAGE-DIR [CASE]...
const lib = require('./lib');
const check = lib.check;

// The page's canvas each time a key script has paused it (P), as many times as asked, with the given
// values in its store. A context of its own: requests a service worker makes would pass by the
// test's route for the script.
async function pausedFrames(browser, url, script, count, stored) {
  const context = await browser.newContext({serviceWorkers: 'block'});
  await context.addInitScript((values) => localStorage.setItem('kelvaron.settings', JSON.stringify(values)), stored);
  const page = await context.newPage();
  await page.route(url + 'pause.keys', (route) => route.fulfill({contentType: 'text/plain', body: script}));
  await page.goto(url + '?keys=pause.keys');
  await page.waitForFunction(() => document.title.startsWith('Start') || document.title.startsWith('FPS'));
  const frames = [];
  let before = null;
  for (let i = 0; i < 200 && frames.length < count; i++) {
    await page.waitForTimeout(300);
    const now = lib.decodePng(await page.locator('#canvas').screenshot());
    const still = before && Math.max(...viewsChanged(before, now)) == 0;
    if (still && !(frames.length && Math.max(...viewsChanged(frames[frames.length - 1], now)) == 0)) {
      now.title = await page.title();
      frames.push(now);
    }
    before = now;
  }
  await context.close();
  check(frames.length == count, 'the page paused ' + frames.length + ' times, not ' + count);
  return frames;
}

// The share of the three chase views' pixels that differ between two frames.
function viewsChanged(a, b) {
  const quarter = (p, x0, y0) => ({width: 320, height: 240, rgb: (x, y) => p.rgb(x0 + x, y0 + y)});
  return [[0, 0], [320, 0], [0, 240]].map(([x, y]) => lib.changedShare(quarter(a, x, y), quarter(b, x, y)));
}

// A program of the test's own, its standard output read line by line: next(pattern) resolves to the
// first line from now on that matches, or fails after seconds.
function startProgram(command, args) {
  const child = require('child_process').spawn(command, args, {stdio: ['ignore', 'pipe', 'pipe']});
  child.lines = [];
  child.stderrText = '';
  child.exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
  let waiting = [];
  require('readline').createInterface({input: child.stdout}).on('line', (line) => {
    child.lines.push(line);
    waiting = waiting.filter((w) => !(w.pattern.test(line) && (w.resolve(line), true)));
  });
  child.stderr.on('data', (data) => { child.stderrText += data; });
  child.next = (pattern, seconds) => new Promise((resolve, reject) => {
    const found = child.lines.find((line) => pattern.test(line));
    if (found) return resolve(found);
    waiting.push({pattern, resolve});
    setTimeout(() => reject(new Error(command + ' printed no line like ' + pattern + ' within ' + seconds + ' s: ' +
                                      child.stderrText.trim())), seconds * 1000);
  });
  return child;
}

// The Linux build's relay serving this page on 127.0.0.1, at a port of the system's choosing; the
// relay's address in relay.url.
async function startRelay() {
  const relay = startProgram(process.env.KELVARON_LINUX_RELAY, ['--bind', '127.0.0.1', '--port', '0', '--page', gPageDir]);
  relay.url = (await relay.next(/serving http/, 10)).replace(/.*serving /, '');
  return relay;
}

// The page opened at url in a context of its own, its reported state hashes collected: tick to hash,
// and what else it said on the console. Each text its room's status takes goes into window.statusTimes
// with the moment it came (performance.now()).
async function openRoomPage(browser, url) {
  const context = await browser.newContext({serviceWorkers: 'block'});
  await lib.recordRoomStatus(context);
  const page = await context.newPage();
  page.hashes = new Map();
  page.said = [];
  page.problems = [];
  page.on('console', (m) => {
    const hash = /^hash (\d+) ([0-9a-f]{16})$/.exec(m.text());
    if (hash) page.hashes.set(Number(hash[1]), hash[2]);
    else page.said.push(m.text());
  });
  page.on('pageerror', (e) => page.problems.push(e.message));
  await page.goto(url);
  return page;
}

const roomStatus = (page) => page.textContent('#room-status');
async function awaitRoomStatus(page, part, seconds) {
  try {
    await page.waitForFunction((text) => document.getElementById('room-status').textContent.includes(text), part,
                               {timeout: seconds * 1000});
  } catch (e) {
    throw new Error('in ' + seconds + ' s the page did not say "' + part + '": it says "' + await roomStatus(page) + '"');
  }
}

// The page opened at a #run= link in a context of its own: what it said as the run ended ("kelvaron:
// played ..."), or null if it said nothing within seconds.
async function playLink(first, url, packed, seconds) {
  const context = await first.context().browser().newContext({serviceWorkers: 'block'});
  const page = await context.newPage();
  let played = null;
  page.on('console', (m) => { if (m.text().startsWith('kelvaron: played')) played = m.text(); });
  await page.goto(url + '#run=' + packed);
  for (let i = 0; i < seconds * 10 && !played; i++) await page.waitForTimeout(100);
  await context.close();
  return played;
}

// A recording or clip that ends at frame last: its later commands left out.
function cutRecording(text, last) {
  return text.replace(/^frames \d+$/m, 'frames ' + last).split('\n')
    .filter((line) => !/^\d+ /.test(line) || Number(line.split(' ')[0]) <= last).join('\n');
}

// The hash lines a Linux client printed: tick to hash.
function readHashes(lines) {
  return new Map(lines.filter((l) => l.startsWith('hash ')).map((l) => l.split(' ')).map(([, t, h]) => [Number(t), h]));
}

// The page has reported its hash for tick, or 5 s have passed.
async function awaitHash(page, tick) {
  for (let i = 0; i < 50 && !page.hashes.has(tick); i++) await page.waitForTimeout(100);
}

// Every tick both reported a hash for: the ticks, and the first whose hashes differ.
function compareHashes(page, linux) {
  const ticks = [...page.keys()].filter((t) => linux.has(t)).sort((a, b) => a - b);
  return {ticks, differing: ticks.find((t) => page.get(t) != linux.get(t))};
}

const kCases = {
  // The page comes up drawing, with nothing wrong on the console.
  async loads(page) {
    await page.waitForTimeout(2000);
    lib.check(page.problems.length == 0, 'the console reported: ' + page.problems.join('; '));
    const size = await page.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').height]);
    check(size[0] == 640 && size[1] == 480, 'the canvas is ' + size.join('x') + ', not the default 640x480');
    check(await page.locator('#problem').isHidden(), 'the page shows a problem');
  },

  // Without WebGL the page says so plainly, and loads nothing more.
  async no_webgl(page) {
    await page.waitForTimeout(1000);
    check((await page.textContent('#problem')).includes('cannot show WebGL') && await page.locator('#problem').isVisible(),
          'the page does not say that WebGL is missing');
    check(await page.evaluate(() => !document.querySelector('script[src="kelvaron.js"]')), 'the page loaded the program anyway');
  },

  // Each chase view has its car in the middle, in the car's colour; the overlay is mostly black.
  async quadrants(page) {
    const pictures = await lib.quadrants(page);
    const [car1, car0, car2] = pictures.slice(0, 3).map((p) => lib.countPrimaries(p, true));
    const expect = (counts, colour, name) => {
      const others = counts.filter((_, i) => i != colour);
      check(counts[colour] > 500 && counts[colour] > 2 * Math.max(...others),
            name + ' shows red, green, blue pixels in its middle: ' + counts.join(', '));
    };
    expect(car0, 0, "car 0's view (top right, the red car)");
    expect(car1, 2, "car 1's view (top left, the blue car)");
    expect(car2, 1, "car 2's view (bottom left, the green car)");
    const overlay = lib.countPrimaries(pictures[3], false);
    check(overlay.every((n) => n < 2000), 'the overlay quadrant shows red, green, blue pixels ' + overlay.join(', '));
  },

  // Car 0 drives off: car 1, beside it at the start, goes out of car 0's view (the blue there
  // shrinks), and car 0 shrinks into the distance in car 1's view (the red there). Left alone, the
  // settling cars keep some 60% and 85% of them; held, ArrowUp takes both well below that.
  async arrow_up(page) {
    await page.waitForTimeout(2000);
    const read = async () => {
      const views = await lib.quadrants(page);
      return {blueSeenByCar0: lib.countPrimaries(views[1], false)[2], redSeenByCar1: lib.countPrimaries(views[0], false)[0]};
    };
    const before = await read();
    await page.keyboard.down('ArrowUp');
    let now = before;
    for (let second = 0; second < 20; second++) {
      await page.waitForTimeout(1000);
      now = await read();
      if (now.blueSeenByCar0 < 0.25 * before.blueSeenByCar0 && now.redSeenByCar1 < 0.5 * before.redSeenByCar1) break;
    }
    await page.keyboard.up('ArrowUp');
    check(now.blueSeenByCar0 < 0.25 * before.blueSeenByCar0 && now.redSeenByCar1 < 0.5 * before.redSeenByCar1,
          'blue pixels in car 0\'s view went from ' + before.blueSeenByCar0 + ' to ' + now.blueSeenByCar0 +
          ", red ones in car 1's from " + before.redSeenByCar1 + ' to ' + now.redSeenByCar1);
  },

  // C moves every view to the next camera; five presses come back to the first. Paused (P), the
  // scene stands still, so only the camera changes what is drawn.
  async cameras(page) {
    await page.keyboard.press('p');
    await page.waitForTimeout(500);
    const first = await lib.quadrants(page);
    await page.keyboard.press('c');
    await page.waitForTimeout(500);
    const second = await lib.quadrants(page);
    for (let i = 0; i < 4; i++) await page.keyboard.press('c');
    await page.waitForTimeout(500);
    const back = await lib.quadrants(page);
    for (let view = 0; view < 3; view++) {
      const moved = lib.changedShare(first[view], second[view]), returned = lib.changedShare(first[view], back[view]);
      check(moved > 0.05 && returned < 0.002,
            'view ' + view + ': after C ' + moved.toFixed(3) + ' of it changed, after five ' + returned.toFixed(4));
    }
  },

  // P stands the scene still, with the overlay saying so; N then lets one frame through at a time.
  async pause_and_step(page) {
    await page.keyboard.press('p');
    await page.keyboard.down('ArrowUp');
    await page.waitForTimeout(500);
    const paused = await lib.quadrants(page);
    await page.waitForTimeout(1000);
    const later = await lib.quadrants(page);
    for (let view = 0; view < 3; view++)
      check(lib.changedShare(paused[view], later[view]) == 0, 'view ' + view + ' changed while paused');
    const purple = lib.countTextPixels;
    for (let i = 0; i < 15; i++) await page.keyboard.press('n');
    await page.waitForTimeout(500);
    const stepped = await lib.quadrants(page);
    await page.keyboard.up('ArrowUp');
    check(lib.changedShare(later[1], stepped[1]) > 0.002, "car 0's view did not move with N and ArrowUp held");
    await page.keyboard.press('p');
    await page.waitForTimeout(1000);
    const going = (await lib.quadrants(page))[3];
    check(purple(stepped[3]) > purple(going) * 1.2,
          'the overlay\'s text did not shrink when P went on: ' + purple(stepped[3]) + ' then ' + purple(going) + ' text pixels');
  },

  // F9 (F12 is the browser's) saves the frame: a download named with the date and time, a PNG of
  // the whole canvas with car 0's red in its view.
  async picture(page) {
    const download = page.waitForEvent('download');
    await page.keyboard.press('F9');
    const file = await download;
    check(/^kelvaron-\d{4}-\d\d-\d\d-\d{6}(-\d+)?\.png$/.test(file.suggestedFilename()),
          'the picture is named ' + file.suggestedFilename());
    const picture = lib.decodePng(require('fs').readFileSync(await file.path()));
    check(picture.width == 640 && picture.height == 480, 'the picture is ' + picture.width + 'x' + picture.height);
    const topRight = {width: 320, height: 240, rgb: (x, y) => picture.rgb(320 + x, y)};
    const counts = lib.countPrimaries(topRight, true);
    check(counts[0] > 500, "the picture's top right shows red, green, blue pixels " + counts.join(', '));
    check((await page.title()).startsWith('Saved /Downloads/kelvaron-'), 'the title says ' + await page.title());
  },

  // Driven by a key script (?keys=), the page draws what the Linux build draws: P before frame 121
  // stands the scene still after 120 steps, the frame tests/data/frame-chase.png holds as the Linux
  // offscreen build drew it. SwiftShader and llvmpipe rasterise edges a pixel apart and round colours
  // differently, so in the three views a pixel matches when the Linux frame has one within 32 levels
  // of it at most one pixel away. Measured: 0.30% of them do not, nearly all on the five-pixel axis
  // line along the foot of car 1's view, which Mesa draws only in part (0.78% without the
  // neighbours). The overlay's two lines of figures below the page's "Paused" line are bitmaps at
  // whole pixels: they must be the Linux text exactly.
  async linux_frame(first, url) {
    const [now] = await pausedFrames(first.context().browser(), url, '121 down 80\n122 up 80\n', 1, {});
    const linux = lib.decodePng(require('fs').readFileSync(require('path').join(__dirname, '..', 'data', 'frame-chase.png')));
    const close = (a, b) => Math.max(Math.abs(a[0] - b[0]), Math.abs(a[1] - b[1]), Math.abs(a[2] - b[2])) <= 32;
    let unmatched = 0, total = 0;
    for (let y = 0; y < 480; y++)
      for (let x = 0; x < 640; x++) {
        if (x >= 320 && y >= 240) continue;  // the overlay: the page says it is paused
        total++;
        let matched = false;
        for (let dy = -1; dy <= 1 && !matched; dy++)
          for (let dx = -1; dx <= 1 && !matched; dx++)
            matched = x + dx >= 0 && x + dx < 640 && y + dy >= 0 && y + dy < 480 && close(now.rgb(x, y), linux.rgb(x + dx, y + dy));
        if (!matched) unmatched++;
      }
    check(unmatched / total < 0.005, (100 * unmatched / total).toFixed(2) + "% of the views' pixels differ from the Linux frame");
    // The figures' lines: the frame rate's from row 448, the velocities' from 460. A page slow enough
    // to take 10 s to frame 121 has measured its frame rate (its title says it): those figures are
    // its own, and the velocities alone are compared.
    const measured = now.title.startsWith('FPS');
    let textDifferences = 0;
    for (let y = measured ? 460 : 448; y < 480; y++)
      for (let x = 320; x < 640; x++)
        if (now.rgb(x, y).some((v, i) => v != linux.rgb(x, y)[i])) textDifferences++;
    check(textDifferences == 0, 'the overlay\'s figures differ from the Linux text in ' + textDifferences + ' pixels');
  },

  // Driven by a key script, the page prints the replay's trace on the console: the Linux build's,
  // byte for byte, every 50 frames of drive.keys's 600.
  async trace(first, url) {
    const fs = require('fs'), path = require('path');
    const replay = process.env.KELVARON_LINUX_REPLAY;
    check(replay, 'KELVARON_LINUX_REPLAY names no Linux replay to compare with');
    const keys = path.join(__dirname, '..', '..', 'bench', 'scripts', 'drive.keys');
    const expected = require('child_process')
      .execFileSync(replay, ['--script', keys, '--frames', '600', '--every', '50']).toString().trim().split('\n');
    const context = await first.context().browser().newContext({serviceWorkers: 'block'});
    const page = await context.newPage();
    const lines = [];
    page.on('console', (m) => { if (m.text().startsWith('frame ')) lines.push(m.text()); });
    await page.route(url + 'drive.keys', (route) => route.fulfill({contentType: 'text/plain', body: fs.readFileSync(keys, 'utf8')}));
    await page.goto(url + '?keys=drive.keys');
    for (let i = 0; i < 1200 && lines.length < expected.length; i++) await page.waitForTimeout(100);
    await context.close();
    check(lines.length >= expected.length, 'the page printed ' + lines.length + ' trace lines of ' + expected.length);
    const differing = expected.findIndex((line, i) => lines[i] != line);
    check(differing < 0, 'the trace parts from the Linux one at "' + expected[differing] + '": the page printed "' +
          lines[differing] + '"');
  },

  // A link with a recording in it (#run=, deflated, base64url) plays that run to its end: the Linux
  // program's recording of a run driven with real keys and pads, cut to end at frame 600 (past its
  // pause and steps) to stay cheap, ends at the Linux replay's hash.
  async run_link(first, url) {
    const fs = require('fs'), path = require('path'), zlib = require('zlib');
    const replay = process.env.KELVARON_LINUX_REPLAY;
    check(replay, 'KELVARON_LINUX_REPLAY names no Linux replay to compare with');
    const recording = path.join(path.dirname(path.dirname(replay)), 'recordings', 'live-run.keys');
    check(fs.existsSync(recording), recording + ' is missing: the Linux build\'s recording test makes it');
    const run = cutRecording(fs.readFileSync(recording, 'utf8'), 600);
    const last = require('child_process').execFileSync(
      replay, ['--script', recording, '--frames', '600', '--every', '1000000000', '--hash']).toString().trim().split('\n').pop();
    const [, frames, hash] = last.split(' ');
    const packed = zlib.deflateRawSync(run).toString('base64url');
    const played = await playLink(first, url, packed, 60);
    console.log('the link holds ' + run.length + ' bytes of recording in ' + packed.length + ' characters');
    check(played == 'kelvaron: played ' + frames + ' frames of /kelvaron/script.keys, state hash ' + hash,
          'the page said "' + played + '"; the Linux replay ends at ' + last);
  },

  // A link with a clip in it plays from the clip's world: the keyscript test's clip of a 1,900-frame
  // run (from frame 120), cut to end at frame 420 to stay cheap, ends at the hash the Linux replay
  // gives the run's whole recording at that frame.
  async clip_link(first, url) {
    const fs = require('fs'), path = require('path'), zlib = require('zlib');
    const replay = process.env.KELVARON_LINUX_REPLAY;
    check(replay, 'KELVARON_LINUX_REPLAY names no Linux replay to compare with');
    const folder = path.join(path.dirname(path.dirname(replay)), 'tests');
    const clipFile = path.join(folder, 'clip.keys');
    check(fs.existsSync(clipFile), clipFile + ' is missing: the Linux build\'s keyscript test makes it');
    const whole = fs.readFileSync(clipFile, 'utf8');
    const clip = cutRecording(whole, 420);
    const last = require('child_process').execFileSync(
      replay, ['--script', path.join(folder, 'clip-run.keys'), '--frames', '420', '--every', '1000000000', '--hash'])
      .toString().trim().split('\n').pop();
    const packed = zlib.deflateRawSync(clip).toString('base64url');
    const played = await playLink(first, url, packed, 60);
    console.log('a clip of ' + whole.length + ' bytes makes a link of ' + zlib.deflateRawSync(whole).toString('base64url').length +
                ' characters');
    check(played == 'kelvaron: played frames 121 to 420 of /kelvaron/script.keys, state hash ' + last.split(' ')[2],
          'the page said "' + played + '"; the Linux replay of the whole run says ' + last);
  },

  // With the autopilot ticked, cars nobody drives drive themselves once 300 frames have passed, and
  // not before: frame for frame (a key script pauses the page after 289 steps and again after 439),
  // the views with it and without it are the same at the first pause and far apart at the second.
  async autopilot(page, url) {
    const script = '290 down 80\n291 up 80\n440 down 80\n441 up 80\n590 down 80\n591 up 80\n';
    const browser = page.context().browser();
    const [earlyOn, lateOn] = await pausedFrames(browser, url, script, 2, {autopilot: 1});
    const [earlyOff, lateOff] = await pausedFrames(browser, url, script, 2, {autopilot: 0});
    const early = viewsChanged(earlyOn, earlyOff), late = viewsChanged(lateOn, lateOff);
    check(early.every((share) => share == 0), 'before the idle time the autopilot changed the views by ' + early.join(', '));
    check(late.every((share) => share > 0.02), 'after the idle time the autopilot changed the views by only ' + late.join(', '));
  },

  // The form refuses what the dialog refuses, with its message and nothing stored; what it saves is
  // stored in the fixed-point form, survives a reload and sizes the next run.
  async settings(page) {
    const stored = () => page.evaluate(() => localStorage.getItem('kelvaron.settings'));
    const submit = async (values) => {
      for (const [field, value] of Object.entries(values)) await page.fill('#' + field, value);
      await page.click('#settings button[type=submit]');
      return page.textContent('#settings-message');
    };
    check((await page.inputValue('#field1')) == '640' && (await page.inputValue('#field4')) == '-10.50000',
          'the form did not open with the defaults');
    check(!(await page.isChecked('#autopilot')) && (await page.textContent('label.wide')).includes('Cars drive themselves'),
          'the autopilot box is not as the dialog has it');
    for (const [values, expected] of [[{field1: '0'}, 'Screen width must be a whole number of pixels from 1 to 16384.'],
                                      [{field1: '640', field2: '16385'}, 'Screen height must be a whole number of pixels from 1 to 16384.'],
                                      [{field2: 'tall'}, 'Screen height must be a whole number of pixels from 1 to 16384.']]) {
      const said = await submit(values);
      check(said == expected, 'for ' + JSON.stringify(values) + ' the form said "' + said + '"');
      check((await stored()) === null, 'a refused form stored ' + (await stored()));
    }
    await page.check('#autopilot');
    const said = await submit({field1: '800', field2: '600', field4: '-2,5'});
    check(said.startsWith('Saved'), 'the form said "' + said + '" for good values');
    const values = JSON.parse(await stored());
    check(values.screenWidth == 800 && values.screenHeight == 600 && values.sGravity == -250000 && values.autopilot == 1 &&
          values.steadyPace == 0, 'stored ' + JSON.stringify(values));
    await page.reload();
    await page.waitForFunction(() => document.getElementById('canvas').width == 800);
    check((await page.inputValue('#field1')) == '800' && (await page.inputValue('#field4')) == '-2.50000' &&
          (await page.isChecked('#autopilot')), 'after a reload the form shows ' + await page.inputValue('#field1'));
    check((await page.evaluate(() => document.getElementById('canvas').height)) == 600, 'the next run is not 800x600');
  },

  // Each full run takes its own mouse reference. The second, started with the mouse far from where
  // the first took it, goes on when the mouse moves 10 pixels, and ends when it moves more than 44.
  // The button is pressed with a key, so the mouse stays where the test put it; Escape is held a
  // while, as a person presses it (the run reads it as held at a frame).
  async second_full_run(page) {
    const state = () => page.evaluate(() => ({full: document.fullscreenElement == document.getElementById('canvas'),
                                               ended: !document.getElementById('ended').hidden}));
    const startFullRun = async () => {
      await page.focus('#fullscreen');
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => document.fullscreenElement && document.getElementById('ended').hidden);
      await page.waitForTimeout(1000);
    };
    await page.mouse.move(60, 60);
    await startFullRun();
    await page.mouse.move(65, 60);
    await page.waitForTimeout(1000);
    const first = await state();
    check(first.full && !first.ended, 'the first full run ended at a 5-pixel move');
    await page.keyboard.down('Escape');
    await page.waitForTimeout(300);
    await page.keyboard.up('Escape');
    await page.waitForFunction(() => !document.getElementById('ended').hidden);
    await page.mouse.move(600, 400);  // between runs: nobody listens
    await startFullRun();
    await page.mouse.move(610, 400);
    await page.waitForTimeout(1500);
    const second = await state();
    check(second.full && !second.ended, 'the second full run ended at a 10-pixel move');
    await page.mouse.move(660, 400);
    await page.waitForTimeout(1500);
    const moved = await state();
    check(!moved.full && moved.ended, 'the second full run went on after a 60-pixel move');
    check(page.problems.length == 0, 'the console reported: ' + page.problems.join('; '));
  },

  // At a device scale of 2 the 640x480 canvas has a 1280x960 drawing buffer, the quadrants cut from
  // it, and the screen shows it pixel for pixel: the screenshot is the picture F9 reads back. The
  // overlay's text is drawn at twice the height, its edges one device pixel from the text's colour
  // to black. The buffer follows a change of scale (which headless Chromium makes without any
  // event), a narrower page and full screen.
  async hidpi(first, url) {
    const context = await first.context().browser().newContext({viewport: {width: 1000, height: 800}, deviceScaleFactor: 2,
                                                                 serviceWorkers: 'block'});
    const page = await context.newPage();
    const problems = [];
    page.on('pageerror', (e) => problems.push(e.message));
    await page.goto(url);
    const awaitBuffer = (width, height) => page.waitForFunction(([w, h]) => canvas.width == w && canvas.height == h,
                                                                [width, height], {timeout: 10000});
    const savePicture = async () => {
      const download = page.waitForEvent('download');
      await page.keyboard.press('F9');
      return lib.decodePng(require('fs').readFileSync(await (await download).path()));
    };
    // The rows of the overlay's first line (the page is paused: "Paused: ..."), and the share of its
    // pixels that are neither the text's colour nor black.
    const firstLine = (picture) => {
      const colours = new Map();
      let top = -1, bottom = -1;
      for (let y = Math.floor(picture.height * 0.88); y < picture.height && (bottom < 0 || y == bottom + 1); y++)
        for (let x = picture.width / 2; x < picture.width; x++) {
          const key = picture.rgb(x, y).join(',');
          colours.set(key, (colours.get(key) || 0) + 1);
          if (key == '0,0,0') continue;
          if (top < 0) top = y;
          bottom = y;
        }
      const counts = [...colours.values()].sort((a, b) => b - a);
      return {rows: bottom - top + 1, between: counts.slice(2).reduce((a, b) => a + b, 0)};
    };
    await awaitBuffer(1280, 960);
    const box = await page.locator('#canvas').boundingBox();
    check(box.width == 640 && box.height == 480, 'the canvas is ' + box.width + 'x' + box.height + ' CSS pixels');
    await page.locator('#canvas').focus();
    await page.keyboard.press('p');
    await page.waitForTimeout(800);
    const sharp = await savePicture();
    const shown = lib.decodePng(await page.locator('#canvas').screenshot());
    check(sharp.width == 1280 && sharp.height == 960 && shown.width == 1280,
          'at scale 2 the picture is ' + sharp.width + 'x' + sharp.height + ', the screenshot ' + shown.width + ' wide');
    check(lib.changedShare(sharp, shown) == 0, 'the screen does not show the drawing buffer pixel for pixel');
    const car0 = lib.countPrimaries({width: 640, height: 480, rgb: (x, y) => sharp.rgb(640 + x, y)}, true);
    check(car0[0] > 4 * 500, "car 0's view, the buffer's top right quarter, shows red, green, blue pixels " + car0.join(', '));
    const line2 = firstLine(shown);
    check(line2.between == 0, 'the text at scale 2 has ' + line2.between + ' pixels between its colour and black');

    const cdp = await context.newCDPSession(page);
    await cdp.send('Emulation.setDeviceMetricsOverride', {width: 1000, height: 800, deviceScaleFactor: 1, mobile: false});
    await awaitBuffer(640, 480);
    const line1 = firstLine(await savePicture());
    check(line1.rows >= 8 && line2.rows >= 1.8 * line1.rows,
          'the first line of text is ' + line2.rows + ' rows high at scale 2, ' + line1.rows + ' at scale 1');

    await page.setViewportSize({width: 500, height: 800});  // at the context's scale, 2, again
    const narrow = await page.locator('#canvas').boundingBox();
    await awaitBuffer(Math.round(narrow.width * 2), Math.round(narrow.height * 2));
    await page.focus('#fullscreen');
    await page.keyboard.press('Enter');
    await awaitBuffer(1000, 750);  // 640x480 fitted into 500x800, at scale 2
    await context.close();
    check(problems.length == 0, 'the page threw: ' + problems.join('; '));
  },

  // Opened at a room's link, the page is a seat of that room: a Linux client opens the room and drives
  // seat 0 from drive.keys for 600 ticks; the page, opened at tick 150, catches up on the room's log
  // and drives seat 1. Under the canvas it says its room, its link and its seat with the overlay's
  // line; the state hash it reports every 30 ticks, through the catch-up and after, is the Linux
  // client's. A second page, opened at tick 420 when the room is too old to run its log, joins from
  // a seat's world and drives seat 2, its hashes from then on the Linux client's too. With the relay
  // gone the page says the room was left, and why.
  async shared_room(first) {
    const path = require('path');
    const keys = path.join(__dirname, '..', '..', 'bench', 'scripts', 'drive.keys');
    const relay = await startRelay();
    let linux = null;
    try {
      linux = startProgram(process.env.KELVARON_LINUX_REPLAY,
                           ['--join', relay.url, '--script', keys, '--frames', '600', '--every', '30', '--hash']);
      const link = (await linux.next(/^room /, 15)).slice(5);
      await linux.next(/^hash 150 /, 30);
      const page = await openRoomPage(first.context().browser(), link);
      await awaitRoomStatus(page, 'Driving Car2', 20);
      const code = link.replace(/.*room=/, '');
      // The room rolls back: the page says how often a second, after the round trip once it has one,
      // or that it waits for the relay, having run as far ahead of it as it may.
      check(/^Room [0-9a-f]+: Driving Car2  ((Ping \d+ ms  )?Rollback \d+|Waiting for the relay)$/.test(await roomStatus(page)),
            'the page says "' + await roomStatus(page) + '"');
      check((await roomStatus(page)).startsWith('Room ' + code + ': '), 'the page names another room: "' + await roomStatus(page) + '"');
      check(await page.locator('#room-share').isVisible() && await page.inputValue('#room-link') == link,
            'the page offers the link ' + await page.inputValue('#room-link'));
      check(await page.locator('#pause-keys').isHidden(), 'in a room the key list offers P and N, which are off there');

      await linux.next(/^hash 420 /, 30);
      const late = await openRoomPage(first.context().browser(), link);
      await awaitRoomStatus(late, 'Driving Car3', 20);
      const joined = late.said.find((line) => /joined from a seat's world of tick \d+/.test(line));
      check(joined, 'the late page did not join from a seat\'s world: it said ' + late.said.join(' / '));
      // From the page's first word of the room to its seat in it: the join, not the page's loading.
      const times = await late.evaluate(() => window.statusTimes);
      const asked = times.find(([text]) => text.startsWith('Joining room')), seated = times.find(([text]) => text.includes('Driving Car3'));
      if (asked && seated) console.log('  the late page was in the room ' + Math.round(seated[1] - asked[1]) + ' ms after it asked to join');

      check(await linux.exited == 0, 'the Linux client left the room early: ' + linux.stderrText.trim());
      const linuxHashes = readHashes(linux.lines);
      await awaitHash(page, 600);
      const {ticks, differing} = compareHashes(page.hashes, linuxHashes);
      check(ticks.length == 20 && ticks[0] == 30, "the page and the Linux client reported hashes for ticks " + ticks.join(' '));
      check(differing === undefined, 'at tick ' + differing + ' the page reported hash ' + page.hashes.get(differing) +
            ', the Linux client ' + linuxHashes.get(differing));
      await awaitHash(late, 600);
      const after = compareHashes(late.hashes, linuxHashes);
      check(after.ticks.length > 0 && after.ticks[0] > 300 && after.ticks[after.ticks.length - 1] == 600,
            'the late page and the Linux client reported hashes for ticks ' + after.ticks.join(' '));
      check(after.differing === undefined, 'at tick ' + after.differing + ' the late page reported hash ' +
            late.hashes.get(after.differing) + ', the Linux client ' + linuxHashes.get(after.differing));
      check(late.problems.length == 0, 'the late page threw: ' + late.problems.join('; '));
      relay.kill();
      await awaitRoomStatus(page, 'Left the room: ', 10);
      const left = await roomStatus(page);
      check(/Left the room: the (connection to the relay at 127\.0\.0\.1 port \d+ broke|relay closed the connection)/.test(left),
            'with the relay gone the page says "' + left + '"');
      check(await page.locator('#room-share').isHidden(), 'with the relay gone the page still offers the room\'s link');
      check(page.problems.length == 0, 'the page threw: ' + page.problems.join('; '));
    } finally {
      relay.kill();
      if (linux) linux.kill();
    }
  },

  // From the relay's own address, "Play together" opens a new room: the page's address becomes the
  // room's link, which it offers to copy, and a Linux client that opens it shares the world with it.
  // ?room=new&delay=D opens a room with that delay. A link to a room the relay does not have says so,
  // and the page runs on its own.
  async room_links(first) {
    const relay = await startRelay();
    let linux = null;
    try {
      const page = await openRoomPage(first.context().browser(), relay.url);
      await page.waitForFunction(() => document.title.startsWith('Start') || document.title.startsWith('FPS'));
      check(await page.locator('#room').isHidden(), 'the page speaks of a room before it is in one');
      check(await page.locator('#pause-keys').isVisible(), 'on its own the key list does not offer P and N');
      await page.click('#play-together');
      await awaitRoomStatus(page, 'Driving Car1', 20);
      const link = await page.inputValue('#room-link');
      check(/^http:\/\/127\.0\.0\.1:\d+\/\?room=[0-9a-f]{20}$/.test(link) && page.url() == link,
            'the new room\'s link is ' + link + ', the page\'s address ' + page.url());
      linux = startProgram(process.env.KELVARON_LINUX_REPLAY, ['--join', link, '--frames', '90', '--every', '30', '--hash']);
      check(await linux.exited == 0, 'the Linux client could not join the page\'s room: ' + linux.stderrText.trim());
      await awaitHash(page, 90);
      const {ticks, differing} = compareHashes(page.hashes, readHashes(linux.lines));
      check(ticks.length == 3 && differing === undefined, 'the page and the Linux client reported hashes for ticks ' +
            ticks.join(' ') + (differing ? ', differing at ' + differing : ''));

      // ?room=new&delay=D opens a room that waits out an input delay instead of rolling back.
      const waiting = await openRoomPage(first.context().browser(), relay.url + '?room=new&delay=5');
      await awaitRoomStatus(waiting, ' ticks', 20);
      check(/^Room [0-9a-f]{20}: Driving Car1  (Ping \d+ ms  )?Delay [5-6] ticks$/.test(await roomStatus(waiting)),
            'a room opened with a delay of 5 says "' + await roomStatus(waiting) + '"');

      const code = '0123456789abcdef0123';
      const stray = await openRoomPage(first.context().browser(), relay.url + '?room=' + code);
      await awaitRoomStatus(stray, 'could not be joined', 20);
      const said = await roomStatus(stray);
      check(said == 'Room ' + code + ' could not be joined: the relay refused: no room ' + code +
            ' here: check the link. You are playing on your own.', 'for a room that is not there the page says "' + said + '"');
      check(await stray.locator('#pause-keys').isVisible() && await stray.locator('#room-share').isHidden(),
            'playing on its own, the page offers no link and does not offer P and N');
      await stray.waitForFunction(() => document.title.startsWith('Start') || document.title.startsWith('FPS'));
      const problems = page.problems.concat(waiting.problems, stray.problems);
      check(problems.length == 0, 'the page threw: ' + problems.join('; '));
    } finally {
      relay.kill();
      if (linux) linux.kill();
    }
  },

  // Once loaded, the page runs with the network gone: the service worker has every file.
  async offline(page) {
    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      for (;;) {
        const cache = await caches.open('kelvaron');
        if ((await cache.keys()).length >= 8 && navigator.serviceWorker.controller) return;
        await new Promise((resolve) => setTimeout(resolve, 200));
      }
    });
    await page.context().setOffline(true);
    await page.reload();
    await page.waitForFunction(() => document.title.startsWith('Start') || document.title.startsWith('FPS'));
    await page.waitForTimeout(1500);
    const car0 = lib.countPrimaries((await lib.quadrants(page))[1], true);
    check(car0[0] > 500, "offline, car 0's view shows red, green, blue pixels " + car0.join(', '));
    check(page.problems.length == 0, 'the console reported: ' + page.problems.join('; '));
  },
};

let gPageDir;  // the web build, where the page's files are

// Every case named (all when none is), one after another in one Chromium, each in contexts of its
// own that are closed after it; without WebGL in a second Chromium launched for that case alone.
(async () => {
  const [dir, ...names] = process.argv.slice(2);
  const chosen = names.length ? names : Object.keys(kCases);
  if (!dir || !chosen.every((name) => kCases[name])) {
    console.error('usage: browser_test.js PAGE-DIR [' + Object.keys(kCases).join('|') + ']...');
    process.exit(2);
  }
  gPageDir = require('path').resolve(dir);
  const server = await lib.serve(gPageDir);
  const browsers = {};
  let passed = 0, failed = 0;
  for (const name of chosen) {
    const withoutWebGL = name == 'no_webgl';
    const browser = browsers[withoutWebGL] || (browsers[withoutWebGL] = await lib.launch(withoutWebGL));
    const started = Date.now();
    try {
      const page = await lib.openPage(browser, server.url, withoutWebGL);
      await page.locator('#canvas').focus();
      await kCases[name](page, server.url);
      console.log(name + ': passed (' + ((Date.now() - started) / 1000).toFixed(1) + ' s)');
      passed++;
    } catch (e) {
      console.log(name + ': ' + e.message);
      failed++;
    } finally {
      await Promise.all(browser.contexts().map((context) => context.close()));
    }
  }
  await Promise.all(Object.values(browsers).map((browser) => browser.close()));
  server.close();
  console.log(passed + ' passed, ' + failed + ' failed');
  process.exit(failed ? 1 : 0);
})();
