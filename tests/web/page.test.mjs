// The web page in a real browser (Debian's Chromium, driven by playwright-core):
// what it offers for download is the native x86ident-replay's output, byte
// for byte; keys step through the screens at the pauses; a dump of several
// processors lists them; nothing but the page's own files is fetched.
//
// The same page in one file, opened from disk, renders as well.
//
//   X86IDENT_PAGE=build/wasm/web X86IDENT_NPM=build/wasm/npm \
//   X86IDENT_REPLAY=build/release/x86ident-replay [X86IDENT_SHARED_DUMPS=../shared/dump-formats] \
//   [X86IDENT_SHARED_LOGS=../shared/hypervisor-logs] \
//   [X86IDENT_SINGLE_FILE=build/wasm/x86ident-VERSION.html] \
//   [X86IDENT_SCREENSHOT=build/wasm/screenshot.png] node --test tests/web/
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { readFileSync, readdirSync, statSync, existsSync } from "node:fs";
import { join, extname, dirname, resolve } from "node:path";
import { fileURLToPath } from "node:url";

const pageDir = resolve(process.env.X86IDENT_PAGE ?? "build/wasm/web");
const replay = process.env.X86IDENT_REPLAY ?? "build/release/x86ident-replay";
const fixtures = join(dirname(fileURLToPath(import.meta.url)), "..", "fixtures");
const npmRequire = createRequire(resolve(process.env.X86IDENT_NPM ?? "build/wasm/npm", "package.json"));
const { chromium } = npmRequire("playwright-core");
const axeSource = npmRequire.resolve("axe-core/axe.min.js");

// The native tool on a file: its exit status, output bytes and message.
function native(args, file) {
  const run = spawnSync(replay, [...args, "-"], { input: readFileSync(file) });
  return { status: run.status, out: run.stdout, err: run.stderr.toString("latin1").trimEnd() };
}

let server, origin, browser, page;
const requests = [];
const consoleLines = []; // what the page writes to the browser's console
const types = { ".html": "text/html", ".css": "text/css", ".js": "text/javascript", ".wasm": "application/wasm" };

before(async () => {
  server = createServer((request, response) => {
    const path = join(pageDir, decodeURIComponent(new URL(request.url, "http://x").pathname).replace(/\/$/, "/index.html"));
    if (!path.startsWith(pageDir) || !existsSync(path)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "content-type": types[extname(path)] ?? "application/octet-stream" });
    response.end(readFileSync(path));
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync"],
  });
  console.log(`# Chromium ${browser.version()}`);
  page = await browser.newPage({ acceptDownloads: true });
  page.on("request", (request) => requests.push(request.url()));
  page.on("console", (message) => {
    // The browser's own fetch of an icon the page does not have is the server's 404, not the page's line.
    if (!message.location().url.endsWith("/favicon.ico")) consoleLines.push(message.text());
  });
  await page.goto(`${origin}/`);
});

after(async () => {
  await browser?.close();
  server?.close();
});

// Gives the page a file as a user does, and waits for its report or message.
async function open(file) {
  await page.evaluate(() => {
    document.getElementById("report").replaceChildren();
    document.getElementById("message").textContent = "";
  });
  await page.setInputFiles("#file", file);
  await page.waitForFunction(() => document.getElementById("report").textContent !== ""
    || document.getElementById("message").textContent !== "");
}

async function downloaded() {
  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#download")]);
  return readFileSync(await download.path());
}

test("the download is the native --no-pause output; a bad dump's message names the file", async () => {
  const cases = [
    { file: "intel_worked_examples.txt" },
    { file: "amd_k6_annotated.txt" },
    { file: "cyrix_mediagx_report.txt" },
    { file: "three_cpus/libcpuid.txt", cpu: "2" },
    { file: "malformed.dump", message: "malformed.dump, line 3: malformed CPUID record: non-hex digit 'G' in ebx value" },
  ];
  for (const { file, cpu, message } of cases) {
    const path = join(fixtures, file);
    await open(path);
    const expected = native(["--no-pause", "--cpu", cpu ?? "0"], path);
    if (message) {
      assert.equal(await page.textContent("#message"), message, file);
      assert.equal(await page.isHidden("#report"), true, file);
      continue;
    }
    if (cpu) {
      await page.selectOption("#cpu", cpu);
      await page.waitForFunction((text) => document.getElementById("report").textContent.includes(text), "RiseRiseRise");
    }
    assert.deepEqual(await downloaded(), expected.out, file);
  }
});

test("pasted text that is no dump: the message speaks of it, and no report box stands", async () => {
  await page.fill("#dump", "no dump here");
  await page.click("#show");
  await page.waitForFunction(() => document.getElementById("message").textContent !== "");
  assert.match(await page.textContent("#message"), /^the pasted text: no CPUID records: not a dump of x86ident, AIDA64, /);
  assert.equal(await page.isHidden("#report"), true);
});

test("Space and Enter show the text up to each next pause, as the form feeds of --mark-pauses fall", async () => {
  const path = join(fixtures, "intel_worked_examples.txt");
  await open(path);
  assert.equal(await page.evaluate(() => document.activeElement.id), "report", "the report takes the focus");
  const marked = native(["--mark-pauses"], path).out.toString("latin1");
  const pauses = [...marked].flatMap((character, at) => (character === "\f" ? [at] : []));
  assert.ok(pauses.length >= 3);
  for (let step = 0; step <= pauses.length; ++step) {
    const upTo = step < pauses.length ? pauses[step] : marked.length;
    assert.equal(await page.textContent("#report"), marked.slice(0, upTo).replaceAll("\f", ""), `step ${step}`);
    if (step === 1) await page.click("h1"); // the focus leaves the report: the keys go on all the same
    await page.keyboard.press(step % 2 === 0 ? "Space" : "Enter");
  }
  assert.equal(await page.isDisabled("#next"), true);
  await page.click("#all");
  assert.equal(await page.locator("#report hr").count(), pauses.length);
  await page.click("#all");
  assert.equal(await page.locator("#report hr").count(), 0);
});

test("a dump taken while an earlier one still renders shows its own report, not the earlier one's", async () => {
  // The earlier file's render (its second run of the tool, after --list)
  // waits half a second before it starts.
  await page.evaluate(() => {
    const instantiate = WebAssembly.instantiate;
    let runs = 0;
    WebAssembly.instantiate = (...args) => {
      if (++runs < 2) return instantiate(...args);
      WebAssembly.instantiate = instantiate;
      window.slowRunStarted = true;
      return new Promise((resolve) => setTimeout(resolve, 500)).then(() => instantiate(...args));
    };
  });
  await page.setInputFiles("#file", join(fixtures, "cyrix_mediagx_report.txt"));
  await page.waitForFunction(() => window.slowRunStarted);
  const later = join(fixtures, "amd_k6_annotated.txt");
  await page.fill("#dump", readFileSync(later, "latin1"));
  await page.click("#show");
  const firstScreen = native(["--mark-pauses"], later).out.toString("latin1").split("\f")[0];
  await page.waitForFunction((text) => document.getElementById("report").textContent === text, firstScreen);
  await page.waitForTimeout(800); // the earlier render has ended by now
  assert.equal(await page.textContent("#report"), firstScreen);
  assert.equal(await page.textContent("#message"), "");
});

test("a failed fetch of the module is not kept: the next render fetches it again", async () => {
  const failing = await browser.newPage();
  let fetches = 0;
  await failing.route("**/x86ident-replay.wasm", (route) => (++fetches === 1 ? route.fulfill({ status: 503 }) : route.continue()));
  await failing.goto(`${origin}/`); // its own fetch at load fails
  const path = join(fixtures, "intel_worked_examples.txt");
  const got = await failing.evaluate(async (dump) => [...await window.x86ident.render(new Uint8Array(dump))],
    [...readFileSync(path)]);
  assert.equal(fetches, 2);
  assert.deepEqual(Buffer.from(got), native(["--mark-pauses"], path).out);
  await failing.close();
});

function nativeList(path) {
  return native(["--list"], path).out.toString("latin1").replace(/\n$/, "").split("\n").map((line) => {
    const [cpu, vendor, signature, name, label, coreType] = line.split("\t");
    return { cpu: Number(cpu), vendor, signature, name, label, coreType };
  });
}

test("a hypervisor log lists its host, the host's processors and its guest; Xen its policies", async () => {
  const cases = [
    ["hypervisor/vmware.log",
      ["0: host, GenuineIntel 000306a9", "1: host processor 2, GenuineIntel 000306a9", "2: guest, GenuineIntel 000306a9"]],
    ["three_cpus/xen.txt", ["0: raw, CentaurHauls 000006a9", "1: host, Geode by NSC 00000552", "2: domain 3, RiseRiseRise 00000580"]],
  ];
  for (const [file, options] of cases) {
    await open(join(fixtures, file));
    assert.deepEqual(await page.$$eval("#cpu option", (all) => all.map((option) => option.textContent)), options, file);
  }
});

test("a dump of several processors lists them, and each renders as the native tool does", async () => {
  const path = join(fixtures, "three_cpus/aida64.txt");
  await open(path);
  const listed = nativeList(path);
  assert.equal(listed.length, 3);
  const bytes = [...readFileSync(path)];
  assert.deepEqual(await page.evaluate((dump) => window.x86ident.list(new Uint8Array(dump)), bytes), listed);
  assert.deepEqual(await page.$$eval("#cpu option", (options) => options.map((option) => option.textContent)),
    listed.map(({ cpu, vendor, signature }) => `${cpu}: ${vendor} ${signature}`));
  await page.click("#next");
  if (process.env.X86IDENT_SCREENSHOT) await page.screenshot({ path: process.env.X86IDENT_SCREENSHOT, fullPage: true });
});

test("every shared dump renders byte-identically, first and last processor", { skip: !process.env.X86IDENT_SHARED_DUMPS }, async () => {
  const directory = process.env.X86IDENT_SHARED_DUMPS;
  const files = readdirSync(directory, { recursive: true }).map((name) => join(directory, name))
    .filter((path) => statSync(path).isFile() && !path.endsWith(".md"));
  assert.ok(files.length > 0);
  for (const path of files) {
    const count = native(["--list"], path).out.toString("latin1").trimEnd().split("\n").length;
    for (const cpu of new Set([0, count - 1])) {
      const expected = native(["--mark-pauses", "--cpu", String(cpu)], path);
      assert.equal(expected.status, 0, path);
      const got = await page.evaluate(async ([dump, cpu]) => [...await window.x86ident.render(new Uint8Array(dump), { cpu })],
        [[...readFileSync(path)], cpu]);
      assert.deepEqual(Buffer.from(got), expected.out, `${path}, processor ${cpu}`);
    }
  }
});

test("a shared hypervisor log's host renders byte-identically", { skip: !process.env.X86IDENT_SHARED_LOGS }, async () => {
  const directory = process.env.X86IDENT_SHARED_LOGS;
  const path = readdirSync(directory, { recursive: true }).map((name) => join(directory, name))
    .filter((file) => statSync(file).isFile() && !file.endsWith(".md")).sort()[0];
  const host = nativeList(path).find(({ label }) => label === "host");
  assert.ok(host, path);
  const got = await page.evaluate(async ([dump, cpu]) => [...await window.x86ident.render(new Uint8Array(dump), { cpu })],
    [[...readFileSync(path)], host.cpu]);
  assert.deepEqual(Buffer.from(got), native(["--mark-pauses", "--cpu", String(host.cpu)], path).out, path);
});

test("axe-core finds no WCAG 2 A or AA or best-practice violation, before a report and with one", async () => {
  const fresh = await browser.newPage();
  await fresh.goto(`${origin}/`);
  // Evaluated by the browser's devtools protocol, which the page's policy does not bind.
  await fresh.evaluate(readFileSync(axeSource, "utf8"));
  const violations = () => fresh.evaluate(async () => (await window.axe.run(document, {
    runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa", "best-practice"] },
  })).violations.map(({ id, nodes }) => `${id} (${nodes.length})`));
  assert.equal(await fresh.$("#stalled"), null, "served, the script runs");
  assert.deepEqual(await violations(), [], "before a report");
  await fresh.setInputFiles("#file", join(fixtures, "three_cpus/aida64.txt"));
  await fresh.waitForFunction(() => document.getElementById("report").textContent !== "");
  assert.deepEqual(await violations(), [], "with a report");
  await fresh.close();
});

test("the page fetches only its own files, within its size bounds, and writes nothing to the console", () => {
  assert.deepEqual(consoleLines, []);
  assert.ok(requests.length > 0);
  for (const url of requests) assert.ok(url.startsWith(`${origin}/`), url);
  const sizes = readdirSync(pageDir, { recursive: true }).map((name) => join(pageDir, name))
    .filter((path) => statSync(path).isFile()).map((path) => [path, statSync(path).size]);
  const wasm = sizes.find(([path]) => path.endsWith(".wasm"))[1];
  const total = sizes.reduce((sum, [, size]) => sum + size, 0);
  console.log(`# x86ident-replay.wasm ${wasm} bytes; the whole page ${total} bytes in ${sizes.length} files`);
  // 1.1.0's nineteen forms, the hypervisors' logs, the hardware monitors' reports and Xen's policies among
  // them: 124 KB and 183 KB (twelve forms were 103 KB and 161 KB).
  assert.ok(wasm <= 128 * 1024, `wasm ${wasm} bytes`);
  assert.ok(total <= 192 * 1024, `page ${total} bytes`);
});

test("the page's Content-Security-Policy is in force: a fetch to another origin is blocked", async () => {
  const blocked = await page.evaluate((elsewhere) => new Promise((resolve) => {
    document.addEventListener("securitypolicyviolation", (event) => resolve(event.effectiveDirective), { once: true });
    fetch(elsewhere).then(() => resolve("fetched"), () => {});
    setTimeout(() => resolve("no violation"), 5000);
  }), origin.replace("127.0.0.1", "localhost") + "/index.html");
  assert.equal(blocked, "connect-src");
});

test("the one-file page opened from disk renders as --mark-pauses, styled, with no request but itself",
  { skip: !process.env.X86IDENT_SINGLE_FILE }, async () => {
    const url = `file://${resolve(process.env.X86IDENT_SINGLE_FILE)}`;
    const fromDisk = await browser.newPage();
    const asked = [];
    fromDisk.on("request", (request) => asked.push(request.url()));
    await fromDisk.goto(url);
    for (const file of ["intel_worked_examples.txt", "amd_k6_annotated.txt", "cyrix_mediagx_report.txt"]) {
      const path = join(fixtures, file);
      const got = await fromDisk.evaluate(async (dump) => [...await window.x86ident.render(new Uint8Array(dump))],
        [...readFileSync(path)]);
      assert.deepEqual(Buffer.from(got), native(["--mark-pauses"], path).out, file);
    }
    // A VirtualBox log dropped on it: its guest and host to choose from, the
    // guest's report on view, and the focus on it.
    const log = join(fixtures, "hypervisor/virtualbox.log");
    await fromDisk.evaluate(([name, bytes]) => {
      const dropped = new DataTransfer();
      dropped.items.add(new File([new Uint8Array(bytes)], name));
      document.body.dispatchEvent(new DragEvent("drop", { dataTransfer: dropped, bubbles: true, cancelable: true }));
    }, ["VBox.log", [...readFileSync(log)]]);
    await fromDisk.waitForFunction(() => document.getElementById("report").textContent !== "");
    assert.deepEqual(await fromDisk.$$eval("#cpu option", (options) => options.map((option) => option.textContent)),
      ["0: guest, GenuineIntel 00000633", "1: host, GenuineIntel 00000634"]);
    assert.equal(await fromDisk.textContent("#report"), native(["--mark-pauses"], log).out.toString("latin1").split("\f")[0]);
    assert.equal(await fromDisk.evaluate(() => document.activeElement.id), "report");
    assert.equal(await fromDisk.$eval("#report", (report) => getComputedStyle(report).backgroundColor),
      "rgb(246, 245, 244)", "the inline style applies");
    assert.deepEqual(asked, [url]);
    await fromDisk.close();
  });

test("the page of several files, opened from disk, says that its script has not run", async () => {
  const fromDisk = await browser.newPage();
  await fromDisk.goto(`file://${join(pageDir, "index.html")}`);
  await fromDisk.waitForSelector("#stalled", { state: "visible", timeout: 5000 });
  assert.match(await fromDisk.textContent("#stalled"), /^This page's script has not run\. Opened from disk/);
  await fromDisk.close();
});
