// Shared loader for the peer minifiers.
//
// Packages are looked up in $PEERS_DIR/node_modules (default:
// /tmp/velnor-peers/node_modules, where bench/setup.sh installs them). Each
// peer is wrapped as { name, version, input, run(buf) -> Buffer|string } where
// `input` says whether `run` takes the raw Buffer or a decoded UTF-8 string;
// decoding is done by the caller, outside the timed region.
import { readFileSync, existsSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

export const PEERS_DIR = resolve(process.env.PEERS_DIR || '/tmp/velnor-peers');

// Resolve a package entry point the way `import` would, for the common shapes
// of package.json "exports" (string, conditions object, "." subpath).
function entryOf(pkgDir, pkg) {
  const pick = (e) => {
    if (typeof e === 'string') return e;
    if (e && typeof e === 'object') {
      if ('.' in e) return pick(e['.']);
      for (const c of ['node', 'import', 'default', 'require']) {
        if (c in e) { const r = pick(e[c]); if (r) return r; }
      }
    }
    return null;
  };
  const rel = (pkg.exports && pick(pkg.exports)) || pkg.module || pkg.main || 'index.js';
  return join(pkgDir, rel);
}

async function load(name) {
  const pkgDir = join(PEERS_DIR, 'node_modules', name);
  const pj = join(pkgDir, 'package.json');
  if (!existsSync(pj)) {
    throw new Error(`${name} not installed under ${PEERS_DIR}/node_modules (run npm install there)`);
  }
  const pkg = JSON.parse(readFileSync(pj, 'utf8'));
  const mod = await import(pathToFileURL(entryOf(pkgDir, pkg)).href);
  return { mod, version: pkg.version };
}

// The options each peer is measured with (see bench/README.md).
export const OPTIONS = {
  // continueOnParseError: without it the whole call throws on the first page
  // it cannot parse (e.g. a literal "<$limit" in sqlite's release notes).
  'html-minifier-terser': {
    collapseWhitespace: true, removeComments: false, minifyJS: false, minifyCSS: false, continueOnParseError: true,
  },
  'html-crush': { removeLineBreaks: true },
  '@minify-html/node': { minify_js: false, minify_css: false },
  '@swc/html': { collapseWhitespaces: 'all', minifyJs: false, minifyCss: false },
  none: {},
};

export const PEER_NAMES = Object.keys(OPTIONS);

export async function peer(name) {
  const opts = OPTIONS[name];
  if (!opts) throw new Error(`unknown peer ${name}; one of: ${PEER_NAMES.join(', ')}`);
  if (name === 'none') {
    // Read/write floor: no minification at all.
    return { name, version: process.version, input: 'buffer', run: (b) => b };
  }
  const { mod, version } = await load(name);
  const m = mod.default && !mod.minify && !mod.crush ? mod.default : mod;
  switch (name) {
    case 'html-minifier-terser':
      return { name, version, input: 'string', run: (s) => m.minify(s, opts) }; // Promise<string>
    case 'html-crush':
      return { name, version, input: 'string', run: (s) => m.crush(s, opts).result };
    case '@minify-html/node':
      return { name, version, input: 'buffer', run: (b) => m.minify(b, opts) };
    case '@swc/html':
      return { name, version, input: 'buffer', run: (b) => m.minifySync(b, opts).code };
  }
  throw new Error('unreachable');
}

// Time one minify call on `buf`; returns { out: Buffer, ns: bigint }.
// Only the peer's call (and awaiting its promise) is inside the timed region.
export async function timed(p, buf) {
  const arg = p.input === 'string' ? buf.toString('utf8') : buf;
  const t0 = process.hrtime.bigint();
  let out = p.run(arg);
  if (out && typeof out.then === 'function') out = await out;
  const ns = process.hrtime.bigint() - t0;
  if (typeof out === 'string') out = Buffer.from(out, 'utf8');
  else if (!Buffer.isBuffer(out)) out = Buffer.from(out);
  return { out, ns };
}
