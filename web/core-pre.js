// Built into brivant-web.js ahead of the program (not a file of the page): the browser's
// stand-ins for what the program's system layer asks of Node, over the program's own file
// system in memory. Nothing here reaches the user's disk or the network.

// The WebAssembly is inside the script: without fetch the runtime decodes it from there
// instead of asking the browser for it (a request the page's policy refuses).
// eslint-disable-next-line no-var, no-unused-vars
var fetch;

// eslint-disable-next-line no-var, no-unused-vars
var require = function (name) {
  const failed = (code) => Object.assign(new Error(code), { code });
  if (name === 'fs') {
    return {
      constants: { W_OK: 2 },
      // Memory needs no flushing.
      fsyncSync: function () {},
      // No links in memory: the program then writes a new file and renames it.
      linkSync: function () {
        throw failed('ENOTSUP');
      },
      accessSync: function (path) {
        try {
          FS.stat(path);
        } catch (e) {
          throw failed('ENOENT');
        }
      },
    };
  }
  if (name === 'tty') return { isatty: () => false };
  if (name === 'os') return { tmpdir: () => '/tmp' };
  throw failed('MODULE_NOT_FOUND');
};
