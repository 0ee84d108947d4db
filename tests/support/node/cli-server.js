// Runs the WebAssembly command line for the tests, many times in few Node processes.
//
// Nearly all the time of a test run under Node went into starting Node and compiling the
// program for every command. Here the program is compiled once per worker, and each command
// gets what a process of its own gets: the program's script evaluated afresh, a new instance
// in memory cleared since its last use, the caller's arguments, folder and environment, and
// the caller's own standard streams, opened through /proc. What a real start adds (Node's
// own start-up and the script's handling of the process) is left to the tests that start
// real processes.
//
// Usage: node cli-server.js SOCKET WORKERS PROGRAM.js
// Worker i listens on SOCKET.i; a caller (CliClient) takes a worker that no other caller
// holds, sends its process id, folder, arguments and environment, and gets back the exit
// status, how far the program read a standard input that is a file, and what it wrote into
// standard streams that are files, for the caller to write through its own descriptors.
"use strict";
const childProcess = require("child_process");
const fs = require("fs");
const net = require("net");
const path = require("path");
const vm = require("vm");

const [socketBase, workerText, program, workerIndex] = process.argv.slice(2);

if (workerIndex === undefined) {
  // One worker per caller at a time, and enough of them that the commands of a pipeline
  // never wait for each other: a command blocked writing into a pipe holds its worker until
  // the reader runs.
  const count = Number(workerText);
  let ready = 0;
  for (let i = 0; i < count; ++i) {
    const worker = childProcess.fork(__filename, [socketBase, workerText, program, String(i)]);
    worker.on("message", () => {
      if (++ready === count) console.log("ready");
    });
    worker.on("exit", (code, signal) => {
      console.error(`cli-server: worker ${i} ended (${signal || code})`);
      process.exit(1);
    });
  }
  return;
}

const programPath = path.resolve(program);
const compiled = new WebAssembly.Module(
  fs.readFileSync(programPath.replace(/\.js$/, ".wasm")));
// The script as a function: each call is a fresh run with its own state.
const runProgram = new vm.Script(
  "(function (process, require, __dirname, __filename, module, exports, Module, hook) {" +
  "Module.onRuntimeInitialized = function () { hook(FS); };\n" +
  fs.readFileSync(programPath, "utf8") + "\n})",
  { filename: programPath }).runInThisContext();

// The program's own start asks the engine for its baseline compiler only, which pays for a
// single short run; code compiled once for many runs pays for being optimised.
const requireForRun = (name) =>
  name === "v8" ? { setFlagsFromString() {} } : require(name);

// The program's memory, made by its script, comes from here when the script lets it: a
// memory used before, cleared. Fresh memory costs a page fault for every page a run touches,
// which on many machines is most of a run's time; a cleared one is as new to the program.
let spare = null;
const kMemoryKept = 128 * 1024 * 1024;
function takeMemory() {
  const memory = spare;
  spare = null;
  return memory;
}
function giveBack(memory) {
  if (!memory || memory.buffer.byteLength > kMemoryKept) return;
  new Uint8Array(memory.buffer).fill(0);
  spare = memory;
}

class Exit {}

// The caller's descriptor n, opened anew. A pipe or a device is the same pipe or device. A
// file opened anew would have a position of its own, while the caller's may be shared (with a
// shell that writes on after the program, or with the other command of a pipeline): what the
// program writes into a file is handed back for the caller to write where its own position
// stands, and standard input from a file is read from where the caller's stands, and the
// caller told where it ends. A closed descriptor stays closed.
function openOf(pid, n) {
  const name = `/proc/${pid}/fd/${n}`;
  try {
    const st = fs.statSync(name);
    const fd = fs.openSync(name, n === 0 ? fs.constants.O_RDONLY : fs.constants.O_WRONLY);
    if (!st.isFile()) return { fd };
    if (n !== 0) return { fd, kept: true };
    const info = fs.readFileSync(`/proc/${pid}/fdinfo/${n}`, "utf8");
    return { fd, pos: Number(/^pos:\s*(\d+)/m.exec(info)[1]) };
  } catch (e) {
    return { fd: -1 };
  }
}

function run(request) {
  const streams = [0, 1, 2].map((n) => openOf(request.pid, n));
  const [input] = streams;
  // What the program wrote into files, in the order it wrote it: [descriptor, bytes].
  const kept = [];
  const savedEnv = process.env;
  const savedCwd = process.cwd();
  let status = null;
  const write = (n) => (text) => {
    const line = Buffer.from(text + "\n");
    if (streams[n].kept) kept.push([n, line]);
    else if (streams[n].fd >= 0) fs.writeSync(streams[n].fd, line);
  };
  const fakeProcess = new Proxy(process, {
    get(target, name) {
      if (name === "argv") return [process.argv[0], programPath, ...request.args];
      if (name === "on") return () => fakeProcess;
      const value = target[name];
      return typeof value === "function" ? value.bind(target) : value;
    },
    set() {
      return true;
    },
  });
  const hook = (FS) => {
    streams.forEach((s, n) => {
      if (s.fd < 0) {
        FS.streams[n] = null;
        return;
      }
      s.stream = FS.streams[n];
      s.stream.nfd = s.fd;
      if (s.pos !== undefined) {
        s.stream.seekable = true;
        s.stream.position = s.pos;
      }
      if (s.kept) {
        // A stream of the runtime's own kind, whose writes are kept.
        s.stream.node = { mode: 0o20666 };
        s.stream.stream_ops = {
          write(stream, buffer, offset, length) {
            kept.push([n, Buffer.from(buffer.subarray(offset, offset + length))]);
            return length;
          },
        };
      }
    });
  };
  // The script makes the memory when it is given none.
  let memory = takeMemory();
  const Module = {
    wasmMemory: memory,
    print: write(1),
    printErr: write(2),
    // Where the script would end the process: the status is kept and the run unwinds. An
    // end by an exception says so, as the script does before it ends the process.
    quit(code, reason) {
      if (status === null) status = code;
      if (!(reason instanceof Exit) && !(reason && reason.name === "ExitStatus"))
        write(2)(`exiting due to exception: ${reason}`);
      throw new Exit();
    },
    instantiateWasm(imports, receive) {
      memory = imports.env.memory;
      const instance = new WebAssembly.Instance(compiled, imports);
      receive(instance);
      return instance.exports;
    },
  };
  try {
    process.chdir(request.cwd);
    process.env = request.env;
    const fakeModule = { exports: {} };
    runProgram(fakeProcess, requireForRun, path.dirname(programPath), programPath, fakeModule,
               fakeModule.exports, Module, hook);
  } catch (e) {
    if (!(e instanceof Exit)) {
      write(2)(`cli-server: ${(e && e.stack) || e}`);
      if (status === null) status = 70;
    }
  } finally {
    process.env = savedEnv;
    process.chdir(savedCwd);
    // The program closes its standard streams when it ends; those it did not are closed
    // here. Nothing opens a descriptor in between, so a number cannot have been reused.
    for (const s of streams) {
      try {
        if (s.fd >= 0) fs.closeSync(s.fd);
      } catch (e) {
        // Closed already.
      }
    }
  }
  giveBack(memory);
  // The status and where standard input ends (-1: not a file), then what goes into files.
  const end = input.pos !== undefined && input.stream ? input.stream.position : -1;
  const parts = [Buffer.from(`${status === null ? 0 : status} ${end} ${kept.length}\n`)];
  for (const [n, bytes] of kept) parts.push(Buffer.from(`${n} ${bytes.length}\n`), bytes);
  return Buffer.concat(parts);
}

// A request: NUL-ended fields: process id, folder, the count of arguments, the arguments,
// then NAME=VALUE entries of the environment to the end.
function parse(data) {
  const fields = data.toString("utf8").split("\0");
  fields.pop();
  const count = Number(fields[2]);
  const env = {};
  for (const entry of fields.slice(3 + count)) {
    const eq = entry.indexOf("=");
    if (eq > 0) env[entry.slice(0, eq)] = entry.slice(eq + 1);
  }
  return { pid: Number(fields[0]), cwd: fields[1], args: fields.slice(3, 3 + count), env };
}

// A worker ends with the server that started it.
process.on("disconnect", () => process.exit(0));
const socketPath = `${socketBase}.${workerIndex}`;
try {
  fs.unlinkSync(socketPath);
} catch (e) {
  if (e.code !== "ENOENT") throw e;
}
net.createServer((socket) => {
  const parts = [];
  socket.on("data", (chunk) => parts.push(chunk));
  socket.on("end", () => socket.end(run(parse(Buffer.concat(parts)))));
  socket.on("error", () => {});
}).listen(socketPath, () => process.send("ready"));
