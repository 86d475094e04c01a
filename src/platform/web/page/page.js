'use strict';
// The page around the run: the plain message when the browser has no WebGL, the buttons, the
// settings form's side of its bridge (Dialog.cpp), the room named in the address and what the page
// says of it (Room.cpp), and the service worker that lets the page run offline once it has loaded.
(() => {
  const canvas = document.getElementById('canvas');
  const problem = document.getElementById('problem');
  const ended = document.getElementById('ended');
  const form = document.getElementById('settings');
  const message = document.getElementById('settings-message');
  const fields = [0, 1, 2, 3, 4, 5].map((i) => document.getElementById('field' + i));
  const autopilot = document.getElementById('autopilot');
  const steadyPace = document.getElementById('steady-pace');
  let startNextRun = null;
  // ?room=CODE joins a room of the relay that serves the page, ?room=new opens one; &seat=N asks for
  // CarN, 1 to 3, as the overlay numbers the cars. A new room rolls back; ?room=new&delay=D opens one
  // that waits out an input delay of at least D ticks instead. Once in a room, the page's address is
  // its link, and the next run takes the same car back.
  const params = new URLSearchParams(location.search);
  const room = {code: params.get('room'), seat: params.get('seat'), delay: params.get('delay'), joined: false, left: false};

  function showProblem(text) {
    problem.textContent = text;
    problem.hidden = false;
  }

  function hasWebGL() {
    try {
      return !!document.createElement('canvas').getContext('webgl');
    } catch (e) {
      return false;
    }
  }

  // The keys the page gives the run go through the canvas, where the run listens.
  function pressKey(key, shift) {
    if (shift) canvas.dispatchEvent(new KeyboardEvent('keydown', {key: 'Shift', bubbles: true}));
    canvas.dispatchEvent(new KeyboardEvent('keydown', {key: key, bubbles: true}));
    canvas.dispatchEvent(new KeyboardEvent('keyup', {key: key, bubbles: true}));
    if (shift) canvas.dispatchEvent(new KeyboardEvent('keyup', {key: 'Shift', bubbles: true}));
  }

  // A recording travels in the address after #run=, deflated and in base64url, so a link is a replay.
  async function packRun(text) {
    const deflated = await new Response(new Blob([text]).stream().pipeThrough(new CompressionStream('deflate-raw')))
      .arrayBuffer();
    let binary = '';
    new Uint8Array(deflated).forEach((b) => { binary += String.fromCharCode(b); });
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  async function unpackRun(packed) {
    const binary = atob(packed.replace(/-/g, '+').replace(/_/g, '/'));
    const bytes = Uint8Array.from(binary, (c) => c.charCodeAt(0));
    return new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'))).text();
  }

  function sayOfRoom(text) {
    document.getElementById('room-status').textContent = text;
    document.getElementById('room').hidden = false;
  }

  const page = {
    showProblem: showProblem,
    // The room the run about to start joins, as a relay's link (Room.cpp): empty for none.
    roomLink() {
      if (!room.code) return '';
      if (room.code == 'new') return 'http://' + location.host + '/' + (room.delay !== null ? '?delay=' + room.delay : '');
      return 'http://' + location.host + '/?room=' + room.code + (room.seat !== null ? '&seat=' + room.seat : '');
    },
    // The run asks to join it now, its first frame on screen.
    sayJoining() {
      sayOfRoom(room.code == 'new' ? 'Opening a new room…' : 'Joining room ' + room.code + '…');
    },
    // How the run stands in its room: its code, the seat and the overlay's line; or why it is not in one.
    showRoom(status) {
      if (status.problem) {
        // A page served by anything but a relay (kelvaron-relay --page DIR) has no rooms to open.
        const what = room.code == 'new' ? 'No room could be opened on the server of this page'
                                        : 'Room ' + room.code + ' could not be joined';
        sayOfRoom(what + ': ' + status.problem + '. You are playing on your own.');
        document.getElementById('pause-keys').hidden = false;
        document.getElementById('room-share').hidden = true;
        return;
      }
      if (status.room && room.code != status.room) {
        room.code = status.room;
        history.replaceState(null, '', '?room=' + room.code);
      }
      room.joined = true;
      room.left = status.left;
      if (status.seat >= 0) room.seat = String(status.seat + 1);
      const link = document.getElementById('room-link');
      link.value = 'http://' + location.host + '/?room=' + room.code;
      // Once left (the relay gone, say), the room's link may lead nowhere: it is not offered.
      document.getElementById('room-share').hidden = room.left;
      // A room's world goes on for everyone: pause and step are off there.
      document.getElementById('pause-keys').hidden = true;
      sayOfRoom('Room ' + room.code + ': ' + (status.line || 'building its world…'));
    },
    // The dialog's texts and the stored values, from Dialog.cpp.
    showSettings(form) {
      document.getElementById('settings-title').textContent = form.title;
      document.querySelectorAll('#settings label.field').forEach((label, i) => { label.textContent = form.labels[i]; });
      form.texts.forEach((text, i) => { fields[i].value = text; });
      autopilot.checked = form.autopilot;
      steadyPace.checked = form.steadyPace;
      document.getElementById('autopilot-label').textContent = form.autopilotLabel;
      document.getElementById('steady-pace-label').textContent = form.steadyPaceLabel;
      document.getElementById('help-title').textContent = form.helpTitle;
      document.getElementById('help').textContent = form.help;
      message.textContent = '';
    },
    // A recording kept (Pictures.cpp): its link is offered beside the download.
    offerRunLink(text) {
      packRun(text).then((packed) => {
        const link = document.getElementById('run-link-address');
        link.href = location.origin + location.pathname + '#run=' + packed;
        document.getElementById('run-link').hidden = false;
      }).catch((e) => console.warn('kelvaron: no link for the run: ' + e.message));
    },
    // Called as a run ends: resolves when the user starts the next one.
    awaitNextRun() {
      ended.hidden = false;
      // A room left before the run ended keeps saying why.
      if (room.joined && !room.left) sayOfRoom('You have left room ' + room.code + '; "Start again" goes back in.');
      return new Promise((resolve) => { startNextRun = resolve; });
    },
  };

  function beginNextRun() {
    if (!startNextRun) return false;
    ended.hidden = true;
    startNextRun();
    startNextRun = null;
    return true;
  }

  document.getElementById('again').addEventListener('click', () => {
    beginNextRun();
    canvas.focus();
  });
  document.getElementById('fullscreen').addEventListener('click', () => {
    beginNextRun();
    canvas.focus();
    canvas.requestFullscreen().catch((e) => showProblem('Full screen is not allowed here: ' + e.message));
  });
  document.getElementById('play-together').addEventListener('click', () => {
    location.search = '?room=new';
  });
  document.getElementById('copy-room-link').addEventListener('click', () => {
    const link = document.getElementById('room-link');
    link.select();
    (navigator.clipboard ? navigator.clipboard.writeText(link.value) : Promise.reject())
      .catch(() => document.execCommand('copy'));
  });
  document.getElementById('picture').addEventListener('click', () => pressKey('F9'));
  document.getElementById('keep-run').addEventListener('click', () => pressKey('F9', true));

  form.addEventListener('submit', (event) => {
    event.preventDefault();
    const texts = fields.map((f) => f.value);
    const pointers = texts.map((t) => Module.stringToNewUTF8(t));
    const list = Module._malloc(4 * pointers.length);
    pointers.forEach((p, i) => { Module.HEAP32[(list >> 2) + i] = p; });
    const refusal = Module._kelvaron_save_settings(list, autopilot.checked ? 1 : 0, steadyPace.checked ? 1 : 0);
    message.textContent = refusal ? Module.UTF8ToString(refusal) : 'Saved: the run starts again with these settings.';
    pointers.forEach((p) => Module._free(p));
    Module._free(list);
    if (!refusal) beginNextRun();
  });
  document.getElementById('cancel').addEventListener('click', () => Module._kelvaron_reset_settings_form());

  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('sw.js').catch((e) => console.warn('kelvaron: no offline copy: ' + e.message));
  }

  // ?keys=FILE or ?play=FILE: a key script or recording beside the page, or #run= with a recording in
  // the address, drives each run from its start (WebKeyScript.cpp); it is ready before the program starts.
  // A room's runs take their commands from the room alone.
  function fetchKeyScript() {
    const name = params.get('play') || params.get('keys');
    const packed = location.hash.startsWith('#run=') ? location.hash.slice(5) : null;
    if (!name && !packed) return;
    if (room.code) {
      showProblem('A key script or recording does not play in a room: a shared run\'s commands come from its room.');
      return;
    }
    Module.addRunDependency('keys');
    const what = packed ? 'The run in this link' : 'The key script ' + name;
    const text = packed ? unpackRun(packed) : fetch(name).then((response) => {
      if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
      return response.text();
    });
    text.then((script) => {
      Module.FS_createPath('/', 'kelvaron', true, true);
      Module.FS_createDataFile('/kelvaron', 'script.keys', script, true, false);
    }).catch((e) => showProblem(what + ' could not be read: ' + e.message))
      .finally(() => Module.removeRunDependency('keys'));
  }

  if (!hasWebGL()) {
    showProblem('This browser cannot show WebGL, which Kelvaron needs to draw. Try another browser, ' +
                'or turn on hardware acceleration in this one.');
    canvas.hidden = true;
    return;
  }
  window.Module = {canvas: canvas, kelvaronPage: page, preRun: [fetchKeyScript]};
  const script = document.createElement('script');
  script.src = 'kelvaron.js';
  script.onerror = () => showProblem('Kelvaron could not be loaded. Reload the page to try again.');
  document.body.appendChild(script);
  canvas.focus();
})();
