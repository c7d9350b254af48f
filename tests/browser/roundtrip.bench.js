// Benchmark (reports, never fails on a slow machine): from a pointer event of a drag to the frame that
// draws the refitted stroke, in chromium against `stroke serve` over loopback.
//   node roundtrip.bench.js PROGRAM [MOVES]
// A real stroke is drawn by pointer events, the 5,000-point smooth stroke is loaded from its file; each is
// then dragged back and forth with MOVES pointer moves (default 240) paced at 60 per second, as a mouse
// sends them. The page sends the latest position whenever the previous step is answered and records, per
// answered step, the time from that position's event to the animation frame after the redraw. Printed:
// median, 95th percentile and largest of those, and the server's own time per drag step.
'use strict';

const path = require('node:path');
const h = require('./harness');

const [program, movesArg] = process.argv.slice(2);
const MOVES = Math.min(Math.max(Number(movesArg) || 240, 10), 5000);

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const quantile = (values, q) => {
  const s = [...values].sort((a, b) => a - b);
  return s.length ? s[Math.min(s.length - 1, Math.floor(q * s.length))] : NaN;
};

async function dragBackAndForth(page, state) {
  const poly = state.display.coords.map((p) => [p[0], p[1]]);
  const a = h.pointAtFraction(poly, 0.4), b = h.pointAtFraction(poly, 0.41);
  const n = [-(b[1] - a[1]), b[0] - a[0]], len = Math.hypot(...n);
  await page.click('[data-tool="drag"]');
  await page.evaluate(() => { window.strokePage.page.latencies.length = 0; window.strokePage.page.serverTimes.length = 0; });
  const [start] = await h.toScreen(page, [a]);
  // Model units per screen pixel.
  const unit = await page.evaluate(() => 1 / (window.strokePage.toScreen(1, 0)[0] - window.strokePage.toScreen(0, 0)[0]));
  await page.mouse.move(start[0], start[1]);
  await page.mouse.down();
  for (let k = 1; k <= MOVES; ++k) {
    // A triangle wave across the stroke, 3 model units high, 40 moves a period.
    const phase = (k % 40) / 40, off = 3 * (phase < 0.5 ? 2 * phase : 2 - 2 * phase);
    await page.mouse.move(start[0] + (off * n[0] / len) / unit, start[1] - (off * n[1] / len) / unit);
    await sleep(16);
  }
  await page.mouse.up();
  await page.waitForFunction(() => !window.strokePage.page.dragging, null, { timeout: 60000 });
  await sleep(50);
  return page.evaluate(() => ({ latencies: [...window.strokePage.page.latencies], server: [...window.strokePage.page.serverTimes] }));
}

async function main() {
  const server = await h.startServer(program);
  const browser = await h.launchBrowser();
  const rows = [];
  try {
    const { page } = await h.openPage(browser, server.url);
    const real = 'real/Balinese-character04-0111_01-0.json';
    const drawn = await h.drawStroke(page, h.readStroke(real));
    rows.push([`${path.basename(real, '.json')} (${drawn.drawn.length} pts, drawn)`, await dragBackAndForth(page, drawn)]);
    const n0 = await page.evaluate(() => window.strokePage.page.requests);
    await page.setInputFiles('#load', path.join(h.REPO, 'data/strokes/synthetic/smooth-5000.json'));
    const loaded = await h.afterRequests(page, n0);
    rows.push([`smooth-5000 (${loaded.drawn.length} pts, loaded)`, await dragBackAndForth(page, loaded)]);
  } finally {
    await browser.close();
    await server.stop();
  }
  console.log(`pointer event to drawn frame, drag steps over loopback (${MOVES} pointer moves at 60 Hz per stroke)`);
  console.log('stroke                                         steps   median    p95      max   server median');
  for (const [name, r] of rows) {
    const f = (v) => `${v.toFixed(2).padStart(7)} ms`;
    console.log(`${name.padEnd(46)} ${String(r.latencies.length).padStart(5)} ${f(quantile(r.latencies, 0.5))} ${f(quantile(r.latencies, 0.95))} ${f(Math.max(...r.latencies))} ${f(quantile(r.server, 0.5))}`);
  }
}

main().catch((e) => { console.error(e.stack || e.message); process.exit(1); });
