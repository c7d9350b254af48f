// The drawing page: draws a stroke with pointer events (every coalesced sample kept), sends it to the
// server to be fitted, and edits it there with the tools. Everything shown is in model units on the
// plane z = 0 seen from +z (x to the right, y up); the server's replies are the only source of the
// stroke's geometry.
'use strict';

(() => {
  const SVG_NS = 'http://www.w3.org/2000/svg';
  const svg = document.getElementById('canvas');
  const layer = (id) => document.getElementById(id);
  const statusLine = layer('status');
  const timingLine = layer('timing');
  const figuresLine = layer('figures');
  // Extrusion drawn like the program's picture: limits 0 to 10 along the plane normal, the normal drawn
  // obliquely (0.35, 0.25) per model unit.
  const EXTRUDE = { low: 0, high: 10, dx: 0.35, dy: 0.25 };
  const DRAWING = {
    kind: 'drawing', view: [0, 0, -1], plane: { origin: [0, 0, 0], normal: [0, 0, 1], x: [1, 0, 0] },
    type: 1, sketch: true, color: 0, width: 1.5, blends: [1, 1],
  };

  const page = {
    id: null,
    state: null,        // the server's last reply for the stroke
    drawn: [],          // drawn points, model units
    fullDisplay: null,  // the display polyline of the whole stroke (range [0, 1]), for the range handles
    tool: 'draw',
    view: { x: -120, y: -120, w: 240, h: 240 },  // model window: lower-left corner and size
    latencies: [],      // pointer event to drawn frame, ms, one per drag step answered
    serverTimes: [],    // the server's time per request, ms
    requests: 0,        // requests answered since the page loaded
    dragging: false,    // a drag gesture is under way or still has steps unanswered
  };

  // ---- Coordinates ----
  function toModel(clientX, clientY) {
    const p = svg.createSVGPoint();
    p.x = clientX; p.y = clientY;
    const q = p.matrixTransform(svg.getScreenCTM().inverse());
    return [q.x, -q.y];
  }
  function toScreen(x, y) {
    const p = svg.createSVGPoint();
    p.x = x; p.y = -y;
    const q = p.matrixTransform(svg.getScreenCTM());
    return [q.x, q.y];
  }
  const pxPerUnit = () => svg.getScreenCTM().a;
  function setView(v) {
    page.view = v;
    svg.setAttribute('viewBox', `${v.x} ${-(v.y + v.h)} ${v.w} ${v.h}`);
  }
  function fitView(points) {
    if (!points.length) return;
    let [x0, y0, x1, y1] = [Infinity, Infinity, -Infinity, -Infinity];
    for (const [x, y] of points) { x0 = Math.min(x0, x); y0 = Math.min(y0, y); x1 = Math.max(x1, x); y1 = Math.max(y1, y); }
    const size = Math.max(x1 - x0, y1 - y0, 1) * 1.4;
    setView({ x: (x0 + x1) / 2 - size / 2, y: (y0 + y1) / 2 - size / 2, w: size, h: size });
    render();
  }

  // ---- Polyline helpers (model units) ----
  function nearestOnPolyline(poly, p) {
    let best = { d: Infinity, point: null, s: 0 };
    let along = 0;
    for (let i = 1; i < poly.length; ++i) {
      const a = poly[i - 1], b = poly[i];
      const ex = b[0] - a[0], ey = b[1] - a[1];
      const len2 = ex * ex + ey * ey, len = Math.sqrt(len2);
      let t = len2 > 0 ? ((p[0] - a[0]) * ex + (p[1] - a[1]) * ey) / len2 : 0;
      t = Math.max(0, Math.min(1, t));
      const q = [a[0] + t * ex, a[1] + t * ey];
      const d = Math.hypot(p[0] - q[0], p[1] - q[1]);
      if (d < best.d) best = { d, point: q, s: along + t * len };
      along += len;
    }
    best.length = along;
    return best;
  }
  function pointAtFraction(poly, f) {
    let total = 0;
    for (let i = 1; i < poly.length; ++i) total += Math.hypot(poly[i][0] - poly[i - 1][0], poly[i][1] - poly[i - 1][1]);
    let target = f * total;
    for (let i = 1; i < poly.length; ++i) {
      const len = Math.hypot(poly[i][0] - poly[i - 1][0], poly[i][1] - poly[i - 1][1]);
      if (target <= len || i === poly.length - 1) {
        const t = len > 0 ? Math.min(1, target / len) : 0;
        return [poly[i - 1][0] + t * (poly[i][0] - poly[i - 1][0]), poly[i - 1][1] + t * (poly[i][1] - poly[i - 1][1])];
      }
      target -= len;
    }
    return poly[0];
  }
  const displayPoints = () => (page.state ? page.state.display.coords : []);

  // ---- Talking to the server ----
  class ApiError extends Error {}
  async function api(method, action, body) {
    const path = action === null ? '/api/strokes' : `/api/strokes/${page.id}${action ? '/' + action : ''}`;
    const init = { method };
    if (body !== undefined) {
      init.body = typeof body === 'string' ? body : JSON.stringify(body);
      init.headers = { 'Content-Type': 'application/json' };
    }
    const started = performance.now();
    const res = await fetch(path, init);
    const text = await res.text();
    const serverMs = parseFloat(res.headers.get('X-Server-Ms'));
    page.requests += 1;
    if (Number.isFinite(serverMs)) page.serverTimes.push(serverMs);
    showTiming(serverMs, performance.now() - started);
    let doc = null;
    try { doc = JSON.parse(text); } catch (e) { doc = null; }
    if (!res.ok) {
      const line = `${res.status}: ${doc && doc.error ? doc.error : text.slice(0, 200) || res.statusText}`;
      showStatus(line, true);
      throw new ApiError(line);
    }
    return doc;
  }
  function showStatus(text, isError) {
    statusLine.textContent = text;
    statusLine.classList.toggle('error', !!isError);
  }
  function showTiming(serverMs, roundTripMs) {
    const last = page.latencies.length ? ` · pointer to frame ${page.latencies[page.latencies.length - 1].toFixed(1)} ms` : '';
    timingLine.textContent = `server ${Number.isFinite(serverMs) ? serverMs.toFixed(2) : '?'} ms · request ${roundTripMs.toFixed(1)} ms${last}`;
  }
  // Runs one edit; a refusal is shown on the page and leaves the stroke as the server kept it.
  async function edit(action, body, message) {
    if (!page.id) return null;
    try {
      const state = await api('POST', action, body);
      setState(state);
      showStatus(message || `${action}: done`);
      return state;
    } catch (e) {
      if (!(e instanceof ApiError)) showStatus(`${action}: ${e.message}`, true);
      return null;
    }
  }
  function setState(state) {
    if (state.id) page.id = state.id;
    if (state.drawn) page.drawn = state.drawn;
    page.state = state;
    const r = state.range;
    if (r[0] <= 1e-9 && r[1] >= 1 - 1e-9) page.fullDisplay = state.display.coords;
    render();
  }

  // ---- Drawing the page ----
  function el(parent, name, attrs, text) {
    const e = document.createElementNS(SVG_NS, name);
    for (const k in attrs) e.setAttribute(k, attrs[k]);
    if (text !== undefined) e.textContent = text;
    parent.appendChild(e);
    return e;
  }
  const f2 = (v) => (Math.round(v * 1000) / 1000).toString();
  const pointsAttr = (pts, dx = 0, dy = 0) => pts.map((p) => `${f2(p[0] + dx)},${f2(-(p[1] + dy))}`).join(' ');
  const NS = { 'vector-effect': 'non-scaling-stroke' };

  function niceStep(units) {
    const p = Math.pow(10, Math.floor(Math.log10(units)));
    for (const m of [1, 2, 5, 10]) if (m * p >= units) return m * p;
    return 10 * p;
  }
  function renderGrid(unit) {
    const grid = layer('grid'), scale = layer('scale');
    grid.replaceChildren(); scale.replaceChildren();
    const rect = svg.getBoundingClientRect();
    const [x0, y0] = toModel(rect.left, rect.bottom), [x1, y1] = toModel(rect.right, rect.top);
    const step = niceStep(40 * unit);
    for (let x = Math.ceil(x0 / step) * step; x <= x1; x += step)
      el(grid, 'line', { x1: x, y1: -y0, x2: x, y2: -y1, class: Math.abs(x) < step / 2 ? 'axis' : '', ...NS, 'stroke-width': 1 });
    for (let y = Math.ceil(y0 / step) * step; y <= y1; y += step)
      el(grid, 'line', { x1: x0, y1: -y, x2: x1, y2: -y, class: Math.abs(y) < step / 2 ? 'axis' : '', ...NS, 'stroke-width': 1 });
    // The scale: a bar of a round length in the lower left corner.
    const bar = niceStep(100 * unit);
    const bx = x0 + 16 * unit, by = y0 + 16 * unit;
    el(scale, 'line', { x1: bx, y1: -by, x2: bx + bar, y2: -by, ...NS, 'stroke-width': 2 });
    el(scale, 'line', { x1: bx, y1: -by, x2: bx, y2: -(by + 5 * unit), ...NS, 'stroke-width': 2 });
    el(scale, 'line', { x1: bx + bar, y1: -by, x2: bx + bar, y2: -(by + 5 * unit), ...NS, 'stroke-width': 2 });
    el(scale, 'text', { x: bx, y: -(by + 8 * unit), 'font-size': 12 * unit }, `${bar} model units (grid ${step})`);
  }

  // What the last render drew of the parts that change rarely: the grid (with the view and the window
  // size) and the drawn points (with a new stroke).
  const drawnCache = { grid: '', drawn: null };

  function render() {
    const unit = 1 / pxPerUnit();  // model units per screen pixel
    const rect = svg.getBoundingClientRect();
    const gridKey = `${page.view.x} ${page.view.y} ${page.view.w} ${page.view.h} ${rect.width} ${rect.height}`;
    if (gridKey !== drawnCache.grid) { renderGrid(unit); drawnCache.grid = gridKey; }
    if (page.drawn !== drawnCache.drawn) {
      const drawn = layer('drawn');
      drawn.setAttribute('d', page.drawn.map((p) => `M${f2(p[0])} ${f2(-p[1])}h0`).join(''));
      drawn.setAttribute('stroke-width', 4);
      drawn.setAttribute('vector-effect', 'non-scaling-stroke');
      drawnCache.drawn = page.drawn;
    }
    for (const id of ['display', 'extruded', 'anchors', 'tangents', 'range']) layer(id).replaceChildren();
    const s = page.state;
    updateControls();
    if (!s) return;

    // The display polyline, one piece per split.
    const coords = s.display.coords;
    const width = Math.min(Math.max(2 * (s.width > 0 ? s.width : 1), 1.5), 8);
    let first = 0;
    const ends = s.display.splits.length && s.display.splits[0] > 0 ? s.display.splits : [coords.length];
    for (const last of ends) {
      const piece = coords.slice(first, Math.min(last, coords.length));
      if (piece.length >= 2) el(layer('display'), 'polyline', { points: pointsAttr(piece), 'stroke-width': width, ...NS });
      first = Math.max(first, last);
    }
    // The extruded body's outline: the polyline at both limits and the two sides.
    if (coords.length >= 2) {
      const ex = layer('extruded');
      const lo = [EXTRUDE.low * EXTRUDE.dx, EXTRUDE.low * EXTRUDE.dy], hi = [EXTRUDE.high * EXTRUDE.dx, EXTRUDE.high * EXTRUDE.dy];
      el(ex, 'polyline', { points: pointsAttr(coords, hi[0], hi[1]), ...NS, 'stroke-width': 1 });
      for (const p of [coords[0], coords[coords.length - 1]])
        el(ex, 'polyline', { points: pointsAttr([[p[0] + lo[0], p[1] + lo[1]], [p[0] + hi[0], p[1] + hi[1]]]), ...NS, 'stroke-width': 1 });
    }
    // Range handles along the whole stroke.
    const full = page.fullDisplay || coords;
    if (full.length >= 2) {
      const g = layer('range');
      for (const [k, f] of s.range.entries()) {
        const p = pointAtFraction(full, f);
        el(g, 'circle', { cx: p[0], cy: -p[1], r: 8 * unit, 'stroke-width': 2, ...NS, 'data-range': k, class: 'range-handle' });
      }
    }
    // End tangents: arrows leaving the stroke at both ends, their heads dragged to bend an end.
    for (const [k, e] of s.ends.entries()) {
      const sign = k === 0 ? -1 : 1, len = 60 * unit;
      const tip = [e.point[0] + sign * e.direction[0] * len, e.point[1] + sign * e.direction[1] * len];
      const g = el(layer('tangents'), 'g', { 'data-end': k === 0 ? 'start' : 'end' });
      el(g, 'line', { x1: e.point[0], y1: -e.point[1], x2: tip[0], y2: -tip[1], 'stroke-width': 2, ...NS });
      el(g, 'circle', { cx: tip[0], cy: -tip[1], r: 6 * unit, class: 'tangent-handle', 'data-end': k === 0 ? 'start' : 'end' });
    }
    // Anchors, numbered from 1.
    const ag = layer('anchors');
    s.anchors.forEach((p, i) => {
      const inner = i > 0 && i < s.anchors.length - 1;
      el(ag, 'circle', { cx: p[0], cy: -p[1], r: 5 * unit, 'stroke-width': 1.5, ...NS, class: inner ? 'inner' : 'end', 'data-anchor': i + 1 });
      el(ag, 'text', { x: p[0] + 7 * unit, y: -(p[1] + 7 * unit), 'font-size': 12 * unit }, String(i + 1));
    });
    figuresLine.textContent = `${page.drawn.length} drawn points · ${s.anchors.length} anchors · ${coords.length} display points · range ${s.range.map((v) => v.toFixed(3)).join('–')}`;
  }

  function updateControls() {
    const has = !!page.id;
    for (const b of document.querySelectorAll('[data-tool]')) b.setAttribute('aria-pressed', String(b.dataset.tool === page.tool));
    svg.setAttribute('class', `tool-${page.tool}`);
    layer('undo').disabled = !(page.state && page.state.undo > 0);
    layer('redo').disabled = !(page.state && page.state.redo > 0);
    layer('cut').disabled = !has;
    for (const kind of ['step', 'stl', 'svg', 'file']) {
      const a = layer(`dl-${kind}`);
      if (has) a.href = `/api/strokes/${page.id}/${kind}`; else a.removeAttribute('href');
      a.setAttribute('aria-disabled', String(!has));
    }
  }

  // ---- Pointer input ----
  let gesture = null;  // the pointer gesture under way

  function samples(e) {
    const list = typeof e.getCoalescedEvents === 'function' ? e.getCoalescedEvents() : [];
    return list.length ? list : [e];
  }

  svg.addEventListener('pointerdown', (e) => {
    if (gesture || (e.pointerType === 'mouse' && e.button !== 0)) return;
    const p = toModel(e.clientX, e.clientY);
    const unit = 1 / pxPerUnit();
    const target = e.target;
    if (page.state && target.classList.contains('tangent-handle')) {
      gesture = { kind: 'tangent', end: target.dataset.end, handle: target };
    } else if (page.state && target.classList.contains('range-handle')) {
      gesture = { kind: 'range', index: Number(target.dataset.range), range: page.state.range.slice(), handle: target };
    } else if (page.tool === 'draw' || !page.state) {
      gesture = { kind: 'draw', points: [p], ink: `M${f2(p[0])} ${f2(-p[1])}` };
      layer('ink').setAttribute('d', '');
    } else if (page.tool === 'delete') {
      if (target.dataset.anchor) edit('delete', { anchor: Number(target.dataset.anchor) }, `anchor ${target.dataset.anchor} deleted`);
      return;
    } else {
      const near = nearestOnPolyline(displayPoints(), p);
      if (!(near.d <= 12 * unit)) { showStatus('Click on the stroke.'); return; }
      if (page.tool === 'insert') { edit('insert', { point: [near.point[0], near.point[1], 0] }, 'anchor inserted'); return; }
      gesture = { kind: 'drag', from: near.point, pending: null, busy: false, steps: 0 };
      page.dragging = true;
    }
    svg.setPointerCapture(e.pointerId);
    gesture.pointerId = e.pointerId;
    e.preventDefault();
  });

  svg.addEventListener('pointermove', (e) => {
    if (!gesture || e.pointerId !== gesture.pointerId) return;
    if (gesture.kind === 'draw') {
      for (const c of samples(e)) {
        const q = toModel(c.clientX, c.clientY);
        gesture.points.push(q);
        gesture.ink += `${gesture.ink ? 'L' : 'M'}${f2(q[0])} ${f2(-q[1])}`;
      }
      layer('ink').setAttribute('d', gesture.ink);
      layer('ink').setAttribute('stroke-width', 2);
      layer('ink').setAttribute('vector-effect', 'non-scaling-stroke');
      return;
    }
    const p = toModel(e.clientX, e.clientY);
    if (gesture.kind === 'drag') {
      if (!RAW_UPDATES) dragTo(gesture, e);
    } else if (gesture.kind === 'tangent') {
      const end = page.state.ends[gesture.end === 'start' ? 0 : 1].point;
      gesture.handle.setAttribute('cx', p[0]);
      gesture.handle.setAttribute('cy', -p[1]);
      const line = gesture.handle.previousSibling;
      line.setAttribute('x2', p[0]); line.setAttribute('y2', -p[1]);
      gesture.direction = [(p[0] - end[0]) * (gesture.end === 'start' ? -1 : 1), (p[1] - end[1]) * (gesture.end === 'start' ? -1 : 1), 0];
    } else if (gesture.kind === 'range') {
      const full = page.fullDisplay || displayPoints();
      const near = nearestOnPolyline(full, p);
      const f = near.length > 0 ? near.s / near.length : 0;
      gesture.range[gesture.index] = f;
      gesture.handle.setAttribute('cx', near.point[0]);
      gesture.handle.setAttribute('cy', -near.point[1]);
    }
  });

  // A drag sends its steps from the pointer's raw updates where the browser has them: those arrive as the
  // pointer moves, while pointermove waits for the next animation frame.
  const RAW_UPDATES = 'onpointerrawupdate' in window;
  function dragTo(g, e) {
    g.pending = { to: toModel(e.clientX, e.clientY), at: e.timeStamp };
    pumpDrag(g);
  }
  if (RAW_UPDATES) {
    svg.addEventListener('pointerrawupdate', (e) => {
      if (gesture && gesture.kind === 'drag' && e.pointerId === gesture.pointerId) dragTo(gesture, e);
    });
  }

  // Sends the latest pointer position of a drag once the previous step is answered: the stroke follows
  // the pointer at the rate the server keeps up with, never queueing stale steps.
  async function pumpDrag(g) {
    if (g.busy || !g.pending) return;
    const { to, at } = g.pending;
    g.pending = null;
    g.busy = true;
    const state = await edit('drag', { from: [g.from[0], g.from[1], 0], to: [to[0], to[1], 0], continues: g.steps > 0 }, 'dragged');
    if (state) {
      g.from = to;
      g.steps += 1;
      requestAnimationFrame(() => {
        page.latencies.push(performance.now() - at);
        if (page.latencies.length > 1000) page.latencies.shift();
      });
    }
    g.busy = false;
    if (g.done && !g.pending && g.resolve) g.resolve();
    pumpDrag(g);
  }

  async function finishGesture(e) {
    if (!gesture || e.pointerId !== gesture.pointerId) return;
    const g = gesture;
    gesture = null;
    if (g.kind === 'draw') {
      layer('ink').setAttribute('d', '');
      if (g.points.length < 2) { showStatus('A stroke needs at least two points.', true); return; }
      try {
        const state = await api('POST', null, { ...DRAWING, points: g.points.map((q) => [q[0], q[1], 0]) });
        page.fullDisplay = null;
        setState(state);
        showStatus(`Fitted: ${state.anchors.length} anchors.`);
        if (page.tool === 'draw') page.tool = 'drag';
        updateControls();
      } catch (err) { if (!(err instanceof ApiError)) showStatus(err.message, true); }
    } else if (g.kind === 'drag') {
      g.done = true;
      if (g.busy || g.pending) await new Promise((resolve) => { g.resolve = resolve; });
      page.dragging = false;
    } else if (g.kind === 'tangent' && g.direction && Math.hypot(g.direction[0], g.direction[1]) > 0) {
      await edit('end-tangent', { end: g.end, direction: g.direction, bend: layer('bend').checked }, `${g.end} tangent set`);
    } else if (g.kind === 'range') {
      const r = [Math.min(...g.range), Math.max(...g.range)];
      if (r[1] - r[0] < 1e-3) { showStatus('The range needs two distinct handles.', true); render(); return; }
      await edit('range', { range: r }, `range ${r[0].toFixed(3)}–${r[1].toFixed(3)}: Cut makes it for good`);
    }
    render();
  }
  svg.addEventListener('pointerup', finishGesture);
  svg.addEventListener('pointercancel', finishGesture);

  // ---- Buttons and keys ----
  function setTool(tool) { page.tool = tool; updateControls(); }
  for (const b of document.querySelectorAll('[data-tool]')) b.addEventListener('click', () => setTool(b.dataset.tool));
  layer('undo').addEventListener('click', () => edit('undo', undefined, 'undone'));
  layer('redo').addEventListener('click', () => edit('redo', undefined, 'redone'));
  layer('cut').addEventListener('click', () => edit('cut', undefined, 'cut to the range'));
  layer('load').addEventListener('change', async (e) => {
    const file = e.target.files[0];
    e.target.value = '';
    if (!file) return;
    try {
      const state = await api('POST', null, await file.text());
      page.fullDisplay = null;
      setState(state);
      fitView([...state.display.coords, ...state.drawn]);
      showStatus(`${file.name} loaded.`);
      if (page.tool === 'draw') setTool('drag');
    } catch (err) { if (!(err instanceof ApiError)) showStatus(err.message, true); }
  });
  document.addEventListener('keydown', (e) => {
    if ((e.ctrlKey || e.metaKey) && e.key.toLowerCase() === 'z') { e.preventDefault(); edit(e.shiftKey ? 'redo' : 'undo', undefined, e.shiftKey ? 'redone' : 'undone'); }
    else if ((e.ctrlKey || e.metaKey) && e.key.toLowerCase() === 'y') { e.preventDefault(); edit('redo', undefined, 'redone'); }
    else if (!e.ctrlKey && !e.metaKey && !e.altKey) {
      const tool = { d: 'draw', g: 'drag', i: 'insert', x: 'delete' }[e.key.toLowerCase()];
      if (tool) setTool(tool);
    }
  });
  window.addEventListener('resize', render);

  // What the tests and the benchmark read: the page's state and its coordinate mapping.
  window.strokePage = { page, toScreen, toModel, setView, fitView, render };
  setView(page.view);
  render();
})();
