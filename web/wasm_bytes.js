// Where x86ident-replay.wasm comes from. The served page fetches it beside
// the module (null here); the one-file page is bundled with this module
// replaced by the .wasm itself, embedded and decoded in place (bundle.mjs).
export const embedded = null;
