// Programs node runs draw nothing, so the GL emulation's notices at start-up are noise there; every
// other message still goes to standard error.
Module['printErr'] = (text) => {
  if (!text.startsWith('WARNING: using emscripten GL emulation')) console.error(text);
};
