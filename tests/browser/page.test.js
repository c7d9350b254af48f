// Browser tests of the drawing page against `stroke serve`, in the system's chromium.
//   node page.test.js PROGRAM GROUP [--screenshot FILE]
// GROUP: draw (a real stroke drawn by pointer events), edit (drag, undo and redo, delete and insert an
// anchor, bend an end, set the range and cut), files (downloads, loading, refusals, two browsers).
// Prints one line per check and exits 1 when any failed.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const h = require('./harness');

const [program, group] = process.argv.slice(2);
const shotIndex = process.argv.indexOf('--screenshot');
const screenshot = shotIndex > 0 ? process.argv[shotIndex + 1] : null;
// A shared real stroke, drawn by hand (the one of the program's shipped example).
const REAL = 'real/Balinese-character04-0111_01-0.json';

let failed = 0;
async function check(name, body) {
  try {
    await body();
    console.log(`ok      ${name}`);
  } catch (e) {
    failed += 1;
    console.log(`FAILED  ${name}: ${e.message}`);
  }
}

const displayOf = (state) => state.display.coords.map((p) => [p[0], p[1]]);
const renderedPolylines = (page) => page.$$eval('#display polyline', (els) => els.map((e) => e.getAttribute('points')
  .split(' ').map((pair) => pair.split(',').map(Number)).map(([x, y]) => [x, -y])));
const fetchState = (page) => page.evaluate(() => fetch(`/api/strokes/${window.strokePage.page.id}`).then((r) => r.json()));

async function groupDraw(page) {
  const points = h.readStroke(REAL);
  const state = await h.drawStroke(page, points);
  await check('a drawn stroke keeps every pointer sample', async () => {
    const drawn = await page.evaluate(() => window.strokePage.page.drawn);
    assert.ok(drawn.length >= points.length, `${drawn.length} drawn points for ${points.length} pointer positions`);
    const worst = Math.max(...points.map((p) => Math.min(...drawn.map((q) => Math.hypot(p[0] - q[0], p[1] - q[1])))));
    assert.ok(worst < 0.5, `a pointer position is ${worst.toFixed(3)} model units from every drawn point`);
  });
  await check('the rendered polyline is the server\'s display', async () => {
    const server = await fetchState(page);
    assert.deepEqual(displayOf(server), displayOf(state), 'the page holds another display than the server');
    const rendered = (await renderedPolylines(page)).flat();
    assert.equal(rendered.length, server.display.coords.length, 'rendered points');
    rendered.forEach((p, i) => {
      const q = server.display.coords[i];
      assert.ok(Math.hypot(p[0] - q[0], p[1] - q[1]) < 2e-3, `rendered point ${i} is (${p}), the server's (${q})`);
    });
  });
  await check('the display lies within 1.1 model units of the drawn points', async () => {
    const drawn = state.drawn.map((p) => [p[0], p[1]]), display = displayOf(state);
    const fromDrawn = Math.max(...drawn.map((p) => h.distanceToPolyline(p, display)));
    const fromDisplay = Math.max(...display.map((p) => h.distanceToPolyline(p, drawn)));
    assert.ok(fromDrawn <= 1.1, `a drawn point is ${fromDrawn.toFixed(3)} from the display`);
    assert.ok(fromDisplay <= 1.1, `a display point is ${fromDisplay.toFixed(3)} from the drawn points`);
  });
  await check('anchors, end tangents, range handles and the scale are drawn', async () => {
    const counts = await page.evaluate(() => ({
      anchors: document.querySelectorAll('#anchors circle').length,
      labels: [...document.querySelectorAll('#anchors text')].map((t) => t.textContent),
      tangents: document.querySelectorAll('#tangents .tangent-handle').length,
      handles: document.querySelectorAll('#range .range-handle').length,
      scale: document.querySelector('#scale text')?.textContent ?? '',
      timing: document.querySelector('#timing').textContent,
    }));
    assert.equal(counts.anchors, state.anchors.length);
    assert.deepEqual(counts.labels, state.anchors.map((_, i) => String(i + 1)));
    assert.equal(counts.tangents, 2);
    assert.equal(counts.handles, 2);
    assert.match(counts.scale, /model units/);
    assert.match(counts.timing, /server \d+\.\d+ ms/);
  });
  if (screenshot) await page.screenshot({ path: screenshot });
}

async function groupEdit(page) {
  const drawn = await h.drawStroke(page, h.readStroke(REAL));
  let state = drawn;
  const requests = () => page.evaluate(() => window.strokePage.page.requests);

  await check('a drag passes the stroke through the target, and undo and redo bring the states back', async () => {
    const before = displayOf(state);
    const from = h.pointAtFraction(before, 0.4), near = h.pointAtFraction(before, 0.41);
    const normal = [-(near[1] - from[1]), near[0] - from[0]], n = Math.hypot(...normal);
    const target = [from[0] + 4 * normal[0] / n, from[1] + 4 * normal[1] / n];
    await page.click('[data-tool="drag"]');
    const path = [];
    for (let k = 0; k <= 8; ++k) path.push([from[0] + (target[0] - from[0]) * k / 8, from[1] + (target[1] - from[1]) * k / 8]);
    await h.pointerPath(page, await h.toScreen(page, path));
    await page.waitForFunction(() => window.strokePage.page.latencies.length > 0 && !window.strokePage.page.dragging);
    state = await fetchState(page);
    // The refit holds the moved points within the fit tolerance (0.5) and the display polyline lies within
    // the display tolerance (0.1) of the curve.
    const miss = h.distanceToPolyline(target, displayOf(state));
    assert.ok(miss <= 0.6, `the dragged stroke misses the target by ${miss.toFixed(3)}`);
    assert.equal(state.undo, 1, 'one drag gesture is one undo step');
    const n0 = await requests();
    await page.click('#undo');
    const undone = await h.afterRequests(page, n0);
    assert.deepEqual(displayOf(undone), before, 'undo did not bring the drawn stroke back');
    await page.click('#redo');
    const redone = await h.afterRequests(page, n0 + 1);
    assert.deepEqual(displayOf(redone), displayOf(state), 'redo did not bring the drag back');
    state = redone;
  });

  await check('inserting an anchor where the stroke is clicked, then deleting it', async () => {
    const anchors = state.anchors.length;
    const at = h.pointAtFraction(displayOf(state), 0.5);
    const [x, y] = (await h.toScreen(page, [at]))[0];
    const n0 = await requests();
    await page.click('[data-tool="insert"]');
    await page.mouse.click(x, y);
    state = await h.afterRequests(page, n0);
    assert.equal(state.anchors.length, anchors + 1, 'anchor count after the insert');
    const near = state.anchors.map((p) => Math.hypot(p[0] - at[0], p[1] - at[1]));
    const k = near.indexOf(Math.min(...near));
    assert.ok(near[k] < 1.0, `no anchor near the clicked point (nearest ${near[k].toFixed(3)})`);
    await page.click('[data-tool="delete"]');
    await page.click(`#anchors circle[data-anchor="${k + 1}"]`, { force: true });
    state = await h.afterRequests(page, n0 + 1);
    assert.equal(state.anchors.length, anchors, 'anchor count after the delete');
    const left = Math.min(...state.anchors.map((p) => Math.hypot(p[0] - at[0], p[1] - at[1])));
    assert.ok(left > 1.0, 'the anchor that was deleted is still there');
  });

  await check('dragging the end arrow turns the end tangent', async () => {
    const end = state.ends[1];
    const head = await page.$eval('#tangents circle[data-end="end"]', (c) => [Number(c.getAttribute('cx')), -Number(c.getAttribute('cy'))]);
    const len = Math.hypot(head[0] - end.point[0], head[1] - end.point[1]);
    const a = Math.atan2(end.direction[1], end.direction[0]) + Math.PI / 6;
    const goal = [end.point[0] + len * Math.cos(a), end.point[1] + len * Math.sin(a)];
    const n0 = await requests();
    await h.pointerPath(page, await h.toScreen(page, [head, goal]));
    state = await h.afterRequests(page, n0);
    const d = state.ends[1].direction;
    const turned = Math.acos(Math.max(-1, Math.min(1, d[0] * Math.cos(a) + d[1] * Math.sin(a)))) * 180 / Math.PI;
    assert.ok(turned < 3, `the end tangent is ${turned.toFixed(2)} degrees off the dragged direction`);
  });

  await check('two range handles and Cut keep the middle of the stroke', async () => {
    const before = displayOf(state), length = h.polylineLength(before);
    const handles = await page.$$eval('#range circle', (cs) => cs.map((c) => [Number(c.getAttribute('cx')), -Number(c.getAttribute('cy'))]));
    const goals = [h.pointAtFraction(before, 0.25), h.pointAtFraction(before, 0.75)];
    let n0 = await requests();
    for (let k = 0; k < 2; ++k) {
      await h.pointerPath(page, await h.toScreen(page, [handles[k], goals[k]]));
      state = await h.afterRequests(page, n0 + k);
    }
    assert.ok(Math.abs(state.range[0] - 0.25) < 0.05 && Math.abs(state.range[1] - 0.75) < 0.05, `range ${state.range}`);
    n0 = await requests();
    await page.click('#cut');
    state = await h.afterRequests(page, n0);
    const cut = displayOf(state), kept = h.polylineLength(cut) / length;
    assert.ok(kept > 0.4 && kept < 0.6, `the cut stroke keeps ${(100 * kept).toFixed(1)} % of the length`);
    const ends = [cut[0], cut[cut.length - 1]].map((p) => Math.min(...goals.map((g) => Math.hypot(p[0] - g[0], p[1] - g[1]))));
    assert.ok(Math.max(...ends) < 0.05 * length, `the cut ends lie ${ends.map((e) => e.toFixed(2))} from the handles`);
  });
}

function parseStep(text) {
  // The exchange structure: header, then a DATA section of entities #n = NAME(...); whose references all
  // name entities of the file. Strings may hold any character but a lone quote.
  assert.match(text, /^ISO-10303-21;/, 'no ISO-10303-21 header line');
  assert.match(text, /END-ISO-10303-21;\s*$/, 'no END-ISO-10303-21 line');
  const data = text.slice(text.indexOf('DATA;') + 5, text.lastIndexOf('ENDSEC;'));
  const statements = [];
  let current = '', quoted = false;
  for (const ch of data) {
    if (ch === '\'') quoted = !quoted;
    if (ch === ';' && !quoted) { statements.push(current.trim()); current = ''; } else current += ch;
  }
  assert.equal(current.trim(), '', 'an unterminated entity');
  const ids = new Set(), refs = [], names = new Map();
  for (const s of statements) {
    const m = s.match(/^#(\d+)\s*=\s*([A-Z_0-9]*)\s*\(([\s\S]*)\)$/);
    assert.ok(m, `not an entity: ${s.slice(0, 80)}`);
    let depth = 0;
    for (const ch of m[3].replace(/'[^']*'/g, '')) { depth += ch === '(' ? 1 : ch === ')' ? -1 : 0; assert.ok(depth >= 0); }
    assert.equal(depth, 0, `unbalanced parentheses in #${m[1]}`);
    ids.add(m[1]);
    names.set(m[2], (names.get(m[2]) || 0) + 1);
    for (const r of m[3].replace(/'[^']*'/g, '').matchAll(/#(\d+)/g)) refs.push(r[1]);
  }
  for (const r of refs) assert.ok(ids.has(r), `#${r} is referred to and not defined`);
  return names;
}

async function download(page, selector) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click(selector)]);
  return fs.readFileSync(await file.path());
}

async function groupFiles(page, browser, url) {
  const state = await h.drawStroke(page, h.readStroke(REAL));
  await check('the STEP download parses, with the faces of the extruded body', async () => {
    const names = parseStep((await download(page, '#dl-step')).toString('latin1'));
    assert.ok((names.get('ADVANCED_FACE') || 0) >= 1, `entities: ${[...names.keys()].join(' ')}`);
    assert.ok(names.has('MANIFOLD_SOLID_BREP') || names.has('SHELL_BASED_SURFACE_MODEL') || names.has('OPEN_SHELL'), 'no shell or solid');
  });
  await check('STL and SVG downloads hold the body and the picture', async () => {
    const stl = await download(page, '#dl-stl');
    const facets = stl.length >= 84 ? stl.readUInt32LE(80) : 0;
    const ascii = stl.toString('latin1', 0, 5) === 'solid' ? (stl.toString('latin1').match(/facet normal/g) || []).length : 0;
    assert.ok(facets > 0 || ascii > 0, 'the STL has no facets');
    if (!ascii) assert.equal(stl.length, 84 + 50 * facets, 'binary STL size does not match its facet count');
    const svgText = (await download(page, '#dl-svg')).toString();
    assert.match(svgText, /<svg[\s\S]*class="display"[\s\S]*<\/svg>/);
  });
  await check('a saved stroke downloaded and loaded again shows the same stroke', async () => {
    const saved = await download(page, '#dl-file');
    const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'stroke-page-')), 'saved.stroke.json');
    fs.writeFileSync(file, saved);
    const n0 = await page.evaluate(() => window.strokePage.page.requests);
    await page.setInputFiles('#load', file);
    const loaded = await h.afterRequests(page, n0);
    assert.notEqual(loaded.id, state.id, 'loading makes a new stroke');
    assert.deepEqual(displayOf(loaded), displayOf(state));
    assert.deepEqual(loaded.anchors, state.anchors);
  });
  await check('a bad file shows its refusal on the page, naming the field, and the stroke stays', async () => {
    const before = await page.evaluate(() => window.strokePage.page.state);
    const n0 = await page.evaluate(() => window.strokePage.page.requests);
    await page.setInputFiles('#load', { name: 'bad.json', mimeType: 'application/json', buffer: Buffer.from('{"points": [[0, 0, 0], ["a", 1, 0]]}') });
    await page.waitForFunction((n) => window.strokePage.page.requests > n, n0);
    const status = await page.$eval('#status', (s) => ({ text: s.textContent, error: s.classList.contains('error') }));
    assert.ok(status.error, 'the status line is not marked as an error');
    assert.match(status.text, /^400: points\[1\]\[0\]: /);
    const after = await page.evaluate(() => window.strokePage.page.state);
    assert.deepEqual(after, before, 'the page changed its stroke');
  });
  await check('an oversized body gets 413 and an unknown stroke 404, each with one line', async () => {
    const replies = await page.evaluate(async () => {
      const big = await fetch('/api/strokes', { method: 'POST', body: 'x'.repeat(9 * 1024 * 1024) });
      const unknown = await fetch('/api/strokes/0000000000000000/undo', { method: 'POST' });
      return [[big.status, await big.text()], [unknown.status, await unknown.text()]];
    });
    assert.equal(replies[0][0], 413);
    assert.equal(JSON.parse(replies[0][1]).error, 'body: larger than 8 MB');
    assert.equal(replies[1][0], 404);
    assert.match(JSON.parse(replies[1][1]).error, /^id: /);
  });
  await check('two browsers at once each edit their own stroke', async () => {
    const other = await h.openPage(browser, url);
    const mine = await page.evaluate(() => window.strokePage.page.state);
    const theirs = await h.drawStroke(other.page, h.readStroke('real/Greek-character05-0398_20-0.json'));
    assert.notEqual(theirs.id, mine.id);
    const [x, y] = (await h.toScreen(other.page, [h.pointAtFraction(displayOf(theirs), 0.5)]))[0];
    await other.page.click('[data-tool="insert"]');
    const n0 = await other.page.evaluate(() => window.strokePage.page.requests);
    await other.page.mouse.click(x, y);
    const edited = await h.afterRequests(other.page, n0);
    assert.equal(edited.anchors.length, theirs.anchors.length + 1, 'the other browser\'s edit did not take');
    assert.deepEqual(displayOf(await fetchState(page)), displayOf(mine), 'the other browser\'s edit reached this stroke');
    assert.deepEqual(other.errors, []);
    await other.context.close();
  });
}

async function main() {
  const timer = setTimeout(() => { console.log('FAILED  the browser tests took longer than 240 s'); process.exit(1); }, 240000);
  // The browser first: a server left running by a failed launch would hold the test's output open.
  const browser = await h.launchBrowser();
  let server;
  try {
    server = await h.startServer(program);
  } catch (e) {
    await browser.close();
    throw e;
  }
  try {
    const { page, errors } = await h.openPage(browser, server.url);
    if (group === 'draw') await groupDraw(page);
    else if (group === 'edit') await groupEdit(page);
    else if (group === 'files') await groupFiles(page, browser, server.url);
    else throw new Error(`unknown group ${group} (draw, edit, files)`);
    await check('the page raised no script error', async () => assert.deepEqual(errors, []));
  } finally {
    await browser.close();
    const status = await server.stop();
    await check('the server shut down cleanly', async () => assert.equal(status, 0));
    clearTimeout(timer);
  }
  process.exit(failed ? 1 : 0);
}

main().catch((e) => { console.log(`FAILED  ${e.stack || e.message}`); process.exit(1); });
