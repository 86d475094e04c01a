// The WebSocket's constructor throws for an address it cannot parse (a port past 65535; under node,
// a host with a blank in it). The relay socket hears of it as an error with the reason, where the
// exception would end the program.
mergeInto(LibraryManager.library, {
  kelvaron_websocket_new__deps: ['emscripten_websocket_new'],
  kelvaron_websocket_new: function(attributes, error, errorSize) {
    try {
      return _emscripten_websocket_new(attributes);
    } catch (e) {
      stringToUTF8(String(e.message), error, errorSize);
      return 0;
    }
  },
});
