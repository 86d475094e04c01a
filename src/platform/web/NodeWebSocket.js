// node has no WebSocket of its own before version 22; Debian's node-ws supplies one. A node not built
// by Debian does not look in Debian's module folder, so it is looked for there too. Like a browser's,
// its sockets report an error as an event and never throw it, even with no one listening.
if (typeof WebSocket == 'undefined') {
  for (const name of ['ws', '/usr/share/nodejs/ws']) {
    try {
      const NodeWebSocket = require(name);
      globalThis.WebSocket = class extends NodeWebSocket {
        constructor(...args) {
          super(...args);
          this.on('error', () => {});
        }
      };
      break;
    } catch (e) {
      if (e.code != 'MODULE_NOT_FOUND') throw e;
    }
  }
}
