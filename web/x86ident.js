// x86ident's report of a CPUID dump, in the browser: x86ident-replay itself,
// built for WebAssembly (WASI), runs here with the dump on its standard
// input. Nothing leaves the page.
//
//   render(input, {cpu, name})
//                         resolves to the exact bytes of --mark-pauses (a
//                         form feed at each pause); rejects for a bad dump
//                         with the tool's message, of the dump by `name`
//                         ("the dump" if none): "NAME, line 4: malformed ..."
//   list(input)           resolves to [{cpu, vendor, signature, name, label, coreType}, ...]:
//                         label "guest", "host" or "host processor N" in a hypervisor
//                         log, a Xen policy's name, a hardware monitor's table's
//                         package, group and thread, "CPUn" in Bochs' log, "cpuN" in
//                         cpuinfo's; coreType "Atom", "Core", ... on a hybrid part;
//                         "" else; vendor "" for a processor without a leaf 0
//
// `input` is a Uint8Array (a file's exact bytes) or a string (encoded as UTF-8).
import { WASI, File, OpenFile, ConsoleStdout } from "./browser_wasi_shim/index.js";
import { embedded } from "./wasm_bytes.js";

let compiled; // the module, fetched (or taken from the page) and compiled once it succeeds

function replayModule() {
  compiled ??= (embedded !== null ? WebAssembly.compile(embedded)
    : fetch(new URL("x86ident-replay.wasm", import.meta.url))
      .then((response) => {
        if (!response.ok) throw new Error(`x86ident-replay.wasm: ${response.status} ${response.statusText}`);
        return response.arrayBuffer();
      })
      .then((bytes) => WebAssembly.compile(bytes)))
    .catch((error) => {
      compiled = undefined; // a failed fetch or compile is not kept: the next render tries again
      throw error;
    });
  return compiled;
}

function joined(chunks) {
  const bytes = new Uint8Array(chunks.reduce((size, chunk) => size + chunk.length, 0));
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.length;
  }
  return bytes;
}

// Byte b as the character U+00bb, whatever it is: the report is bytes, and
// no text decoding (windows-1252 for "latin1" in browsers) may change them.
export function bytesToText(bytes) {
  let text = "";
  for (let at = 0; at < bytes.length; at += 8192)
    text += String.fromCharCode.apply(null, bytes.subarray(at, at + 8192));
  return text;
}

// The tool's message of its standard input, of the dump by its name.
function ofTheDump(message, name) {
  const head = /^x86ident-replay: standard input(?::(\d+))?: /.exec(message);
  if (!head) return message.replace(/^x86ident-replay: /, "");
  return `${name}${head[1] ? `, line ${head[1]}` : ""}: ${message.slice(head[0].length)}`;
}

// One run of x86ident-replay with `args` and the dump on standard input:
// the bytes it wrote, or a rejection with its message.
async function replay(args, input, name = "the dump") {
  const module = await replayModule();
  const dump = typeof input === "string" ? new TextEncoder().encode(input) : input;
  const out = [];
  const err = [];
  const fds = [
    new OpenFile(new File(dump, { readonly: true })),
    new ConsoleStdout((chunk) => out.push(chunk.slice())),
    new ConsoleStdout((chunk) => err.push(chunk.slice())),
  ];
  const wasi = new WASI(["x86ident-replay", ...args, "-"], [], fds, { debug: false });
  const instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: wasi.wasiImport });
  const status = wasi.start(instance);
  if (status !== 0) throw new Error(ofTheDump(new TextDecoder().decode(joined(err)).trimEnd(), name));
  return joined(out);
}

export function render(input, { cpu = 0, name } = {}) {
  return replay(["--mark-pauses", "--cpu", String(cpu)], input, name);
}

// The bytes of --no-pause: what x86ident writes to a file.
export function renderPlain(input, { cpu = 0, name } = {}) {
  return replay(["--no-pause", "--cpu", String(cpu)], input, name);
}

export async function list(input) {
  const text = bytesToText(await replay(["--list"], input));
  return text
    .split("\n")
    .filter((line) => line !== "")
    .map((line) => {
      const [cpu, vendor, signature, name, label, coreType] = line.split("\t");
      return { cpu: Number(cpu), vendor, signature, name, label, coreType };
    });
}

if (typeof window !== "undefined") {
  window.x86ident = { render, list };
  // Everything up front: once the page has loaded, it needs no network.
  replayModule().catch(() => {}); // a failure is reported by the first render
}
