// Runs the stroke program's server on a free loopback port and the system's chromium against it, for the
// browser tests and the pointer-to-frame benchmark. Nothing leaves 127.0.0.1: the browser is started
// without its background services, and every loop here is bounded.
'use strict';

const { spawn } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const REPO = path.resolve(__dirname, '../..');

function loadPlaywright() {
  try {
    return require('playwright-core');
  } catch (e) {
    throw new Error(`playwright-core is not installed in ${__dirname} (run npm install there, or scripts/install-deps.sh)`);
  }
}

// Starts `program serve --port 0` and resolves with its address once it prints it.
function startServer(program) {
  if (!fs.existsSync(program)) throw new Error(`no program at ${program}`);
  const child = spawn(program, ['serve', '--port', '0', '--host', '127.0.0.1'], { stdio: ['ignore', 'pipe', 'inherit'] });
  const exited = new Promise((resolve) => child.once('exit', (code, signal) => resolve({ code, signal })));
  const url = new Promise((resolve, reject) => {
    let out = '';
    const timer = setTimeout(() => reject(new Error('the server printed no address within 60 s')), 60000);
    child.stdout.on('data', (d) => {
      out += d;
      const m = out.match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (m) { clearTimeout(timer); resolve(m[0]); }
    });
    exited.then(({ code, signal }) => { clearTimeout(timer); reject(new Error(`the server ended (${code ?? signal}) before listening`)); });
  });
  return url.then((address) => ({
    url: address,
    // Stops the server with SIGTERM and resolves with its exit status (0 when it shut down cleanly).
    async stop() {
      const killer = setTimeout(() => child.kill('SIGKILL'), 20000);
      child.kill('SIGTERM');
      const { code, signal } = await exited;
      clearTimeout(killer);
      return code ?? signal;
    },
  }));
}

async function launchBrowser() {
  const { chromium } = loadPlaywright();
  if (!fs.existsSync(CHROMIUM)) throw new Error(`no chromium at ${CHROMIUM} (apt-get install chromium)`);
  return chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--no-proxy-server',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-default-apps', '--disable-extensions'],
  });
}

// A page of the drawing tool, sized so that the default view shows model units at about 3 px each.
async function openPage(browser, url) {
  const context = await browser.newContext({ viewport: { width: 1100, height: 820 }, acceptDownloads: true });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(url);
  await page.waitForFunction(() => window.strokePage !== undefined);
  return { page, context, errors };
}

function readStroke(relative) {
  const doc = JSON.parse(fs.readFileSync(path.join(REPO, 'data/strokes', relative), 'utf8'));
  return doc.points.map((p) => [p[0], p[1]]);
}

// Client coordinates of model points on the page.
function toScreen(page, points) {
  return page.evaluate((pts) => pts.map((p) => window.strokePage.toScreen(p[0], p[1])), points);
}

// Presses at the first point, moves through the others one pointer event each, releases.
async function pointerPath(page, screenPoints) {
  await page.mouse.move(screenPoints[0][0], screenPoints[0][1]);
  await page.mouse.down();
  for (const [x, y] of screenPoints.slice(1)) await page.mouse.move(x, y);
  await page.mouse.up();
}

// Draws model points as one stroke and waits for the fitted stroke to be shown.
async function drawStroke(page, points) {
  await page.click('[data-tool="draw"]');
  await page.evaluate((pts) => window.strokePage.fitView(pts), points);
  const before = await page.evaluate(() => window.strokePage.page.requests);
  await pointerPath(page, await toScreen(page, points));
  await page.waitForFunction((n) => window.strokePage.page.requests > n, before, { timeout: 30000 });
  return page.evaluate(() => window.strokePage.page.state);
}

// Waits until the page has answered n more requests than before (bounded by the timeout).
async function afterRequests(page, before, n = 1) {
  await page.waitForFunction(([b, k]) => window.strokePage.page.requests >= b + k, [before, n], { timeout: 30000 });
  return page.evaluate(() => window.strokePage.page.state);
}

function distanceToPolyline(p, poly) {
  let best = Infinity;
  for (let i = 1; i < poly.length; ++i) {
    const a = poly[i - 1], b = poly[i];
    const ex = b[0] - a[0], ey = b[1] - a[1], len2 = ex * ex + ey * ey;
    const t = len2 > 0 ? Math.max(0, Math.min(1, ((p[0] - a[0]) * ex + (p[1] - a[1]) * ey) / len2)) : 0;
    best = Math.min(best, Math.hypot(p[0] - a[0] - t * ex, p[1] - a[1] - t * ey));
  }
  return best;
}

function polylineLength(poly) {
  let s = 0;
  for (let i = 1; i < poly.length; ++i) s += Math.hypot(poly[i][0] - poly[i - 1][0], poly[i][1] - poly[i - 1][1]);
  return s;
}

function pointAtFraction(poly, f) {
  let target = f * polylineLength(poly);
  for (let i = 1; i < poly.length; ++i) {
    const len = Math.hypot(poly[i][0] - poly[i - 1][0], poly[i][1] - poly[i - 1][1]);
    if (target <= len) {
      const t = len > 0 ? target / len : 0;
      return [poly[i - 1][0] + t * (poly[i][0] - poly[i - 1][0]), poly[i - 1][1] + t * (poly[i][1] - poly[i - 1][1])];
    }
    target -= len;
  }
  return poly[poly.length - 1];
}

module.exports = {
  REPO, startServer, launchBrowser, openPage, readStroke, toScreen, pointerPath, drawStroke, afterRequests,
  distanceToPolyline, polylineLength, pointAtFraction,
};
