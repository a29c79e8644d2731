// The page: a dump in (pasted, chosen or dropped), its report out, one screen
// at a time as x86ident pauses, with the processors of the dump to choose from.
import { render, renderPlain, list, bytesToText } from "./x86ident.js";

const $ = (id) => document.getElementById(id);
$("stalled").remove(); // the script runs
const FORM_FEED = 0x0c;
let input = null;     // the dump: a string (paste) or a file's bytes
let inputName = "";   // what the messages call it: the file's name, or "the pasted text"
let screens = [];     // the report's text between pauses
let shown = 0;        // how many screens are on view
let wholeReport = false;
// Each dump taken and each processor chosen gets the next ticket; a render
// whose ticket is no longer the latest (a slower, earlier one) shows nothing.
let latest = 0;

function showMessage(text) {
  $("message").textContent = text;
}

// The --mark-pauses bytes cut at each form feed: the pauses of x86ident.
function splitAtPauses(bytes) {
  const pieces = [];
  let start = 0;
  for (let at = 0; at < bytes.length; ++at)
    if (bytes[at] === FORM_FEED) {
      pieces.push(bytesToText(bytes.subarray(start, at)));
      start = at + 1;
    }
  pieces.push(bytesToText(bytes.subarray(start)));
  return pieces;
}

function preWith(text) {
  const pre = document.createElement("pre");
  pre.textContent = text; // always text: the name string is the dump maker's choice
  return pre;
}

function draw() {
  const report = $("report");
  report.replaceChildren();
  if (wholeReport) {
    screens.forEach((text, index) => {
      if (index > 0) report.append(document.createElement("hr"));
      report.append(preWith(text));
    });
  } else {
    report.append(preWith(screens.slice(0, shown).join("")));
  }
  const pauses = screens.length - 1;
  const passed = wholeReport ? pauses : shown - 1;
  $("next").disabled = wholeReport || passed >= pauses;
  $("all").setAttribute("aria-pressed", String(wholeReport));
  $("all").textContent = wholeReport ? "Screen by screen" : "All";
  $("status").textContent = passed >= pauses ? "End of the report."
    : `Pause ${passed + 1} of ${pauses}: Space, Enter or "Next screen" goes on.`;
}

function nextScreen() {
  if (!wholeReport && shown < screens.length) {
    ++shown;
    draw();
  }
}

// The report of the processor chosen; with `focus`, the report takes the
// focus, so that Space and Enter go on from there (a new dump's first screen).
async function showReport({ ticket = ++latest, focus = false } = {}) {
  showMessage("");
  try {
    const bytes = await render(input, { cpu: Number($("cpu").value || 0), name: inputName });
    if (ticket !== latest) return;
    screens = splitAtPauses(bytes);
    shown = 1;
    $("report-controls").hidden = false;
    $("report").hidden = false;
    draw();
    if (focus) $("report").focus();
  } catch (error) {
    if (ticket !== latest) return;
    screens = [];
    $("report").replaceChildren();
    $("report").hidden = true;
    $("report-controls").hidden = true;
    showMessage(error.message);
  }
}

async function takeDump(dump, name, ticket = ++latest) {
  input = dump;
  inputName = name;
  showMessage("");
  let processors = [];
  try {
    processors = await list(dump);
  } catch (error) {
    // The report says why, in the tool's own words.
  }
  if (ticket !== latest) return;
  const select = $("cpu");
  select.replaceChildren(...processors.map(({ cpu, vendor, signature, name, label, coreType }) => {
    const option = document.createElement("option");
    option.value = cpu;
    option.textContent = [`${cpu}:`, label && `${label},`, vendor, signature, name.trim(), coreType && `(${coreType})`]
      .filter((part) => part).join(" ");
    return option;
  }));
  $("choose-cpu").hidden = processors.length < 2;
  await showReport({ ticket, focus: true });
}

async function takeFile(file) {
  if (!file) return;
  const ticket = ++latest; // the file is the newest dump from now, however long it takes to read
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (ticket === latest) await takeDump(bytes, file.name, ticket);
}

$("show").addEventListener("click", () => takeDump($("dump").value, "the pasted text"));
$("file").addEventListener("change", () => takeFile($("file").files[0]));
$("cpu").addEventListener("change", () => showReport());
$("next").addEventListener("click", nextScreen);
$("all").addEventListener("click", () => {
  wholeReport = !wholeReport;
  draw();
});
$("download").addEventListener("click", async () => {
  try {
    const bytes = await renderPlain(input, { cpu: Number($("cpu").value || 0), name: inputName });
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([bytes], { type: "application/octet-stream" }));
    link.download = "x86ident-report.txt";
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  } catch (error) {
    showMessage(error.message);
  }
});
$("copy").addEventListener("click", async () => {
  try {
    const bytes = await renderPlain(input, { cpu: Number($("cpu").value || 0), name: inputName });
    await navigator.clipboard.writeText(bytesToText(bytes));
    $("status").textContent = "Copied.";
  } catch (error) {
    $("status").textContent = "This browser does not allow copying here.";
  }
});
// Space and Enter go on wherever the focus is, as x86ident's key does, but in
// the text box and on the page's controls, which keep their own keys.
document.addEventListener("keydown", (event) => {
  if ((event.key !== " " && event.key !== "Enter") || event.altKey || event.ctrlKey || event.metaKey) return;
  if (screens.length === 0 || event.target.closest("textarea, input, select, button, a")) return;
  event.preventDefault();
  nextScreen();
});
document.addEventListener("dragover", (event) => {
  event.preventDefault();
  document.body.classList.add("dragging");
});
document.addEventListener("dragleave", () => document.body.classList.remove("dragging"));
document.addEventListener("drop", (event) => {
  event.preventDefault();
  document.body.classList.remove("dragging");
  takeFile(event.dataTransfer.files[0]);
});
