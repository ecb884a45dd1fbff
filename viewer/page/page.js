(function () {
  'use strict';

  var COLUMNS = 7, ROWS = 5;
  var PALETTE = ['#440154', '#482878', '#3e4989', '#31688e', '#26828e',
                 '#1f9e89', '#35b779', '#6ece58', '#b5de2b', '#fde725'];
  var SERIES = ['#2f5fb3', '#d1495b', '#2a9d8f', '#e9a23b', '#7b4fb3',
                '#5c946e', '#c05299', '#4d5b6b'];
  var KINDS = { first: 'first sweeps', A: 'new spacings (A)', B: 'new number of iterations (B)' };

  var data = JSON.parse(document.getElementById('run-data').textContent);
  var passes = data.passes;
  var state = { pass: 0, frame: 0, timer: null };

  function el(id) { return document.getElementById(id); }
  function esc(text) {
    return String(text).replace(/[&<>"']/g, function (c) {
      return { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' }[c];
    });
  }
  function ordinal(n) {
    var tens = n % 100, ones = n % 10;
    var suffix = tens >= 11 && tens <= 13 ? 'th' : ones === 1 ? 'st' : ones === 2 ? 'nd' : ones === 3 ? 'rd' : 'th';
    return group(n) + suffix;
  }
  function group(n) { return String(n).replace(/\B(?=(\d{3})+(?!\d))/g, ','); }
  function number(text) {
    if (text === '' || text === null || text === undefined) return null;
    var v = Number(text);
    return isFinite(v) ? v : NaN;
  }
  function passName(p) { return 'Pass ' + p.number + ': set-up ' + p.setup + ', ' + KINDS[p.kind]; }
  function shortName(p) { return 'Pass ' + p.number + ' (set-up ' + p.setup + (p.kind === 'first' ? '' : ', ' + p.kind) + ')'; }
  function formatChange(v) {
    if (v === null || v === undefined) return '\u2013';
    if (v === 0) return '0';
    return v.toPrecision(4).replace(/e\+?/, 'E');
  }

  // Value range of each pass, for its colours: every value it shows.
  passes.forEach(function (p) {
    var lo = Infinity, hi = -Infinity;
    function see(text) {
      var v = number(text);
      if (v !== null && isFinite(v)) { lo = Math.min(lo, v); hi = Math.max(hi, v); }
    }
    p.start.forEach(see);
    p.frames.forEach(function (f) { f.forEach(see); });
    if (lo > hi) { lo = 0; hi = 1; }
    p.low = lo; p.high = hi;
  });

  function colour(t) {
    t = Math.max(0, Math.min(1, t));
    var x = t * (PALETTE.length - 1), k = Math.min(PALETTE.length - 2, Math.floor(x)), f = x - k;
    function rgb(h) { return [1, 3, 5].map(function (o) { return parseInt(h.substr(o, 2), 16); }); }
    var a = rgb(PALETTE[k]), b = rgb(PALETTE[k + 1]);
    return 'rgb(' + a.map(function (c, q) { return Math.round(c + (b[q] - c) * f); }).join(',') + ')';
  }

  // ---- the grid --------------------------------------------------------
  function buildGrid() {
    var html = '';
    for (var j = ROWS; j >= 1; --j) {
      html += '<tr><th class="row">row ' + j + (j === ROWS ? ' upper' : j === 1 ? ' lower' : '') + '</th>';
      for (var i = 1; i <= COLUMNS; ++i) {
        var edge = i === 1 || i === COLUMNS || j === 1 || j === ROWS;
        html += '<td class="cell ' + (edge ? 'edge' : 'interior') + '" data-col="' + i + '" data-row="' + j +
                '" title="column ' + i + ', row ' + j + '"></td>';
      }
      html += '</tr>';
    }
    html += '<tr><th></th>';
    for (var c = 1; c <= COLUMNS; ++c) html += '<th>col ' + c + (c === 1 ? ' left' : c === COLUMNS ? ' right' : '') + '</th>';
    html += '</tr>';
    el('grid').innerHTML = html;
    var bar = [];
    for (var s = 0; s <= 10; ++s) bar.push(colour(s / 10) + ' ' + (s * 10) + '%');
    el('scale-bar').style.background = 'linear-gradient(to right, ' + bar.join(', ') + ')';
  }

  function showGrid(p, f) {
    var values = p.frames[f];
    var cells = el('grid').querySelectorAll('td.cell');
    var span = p.high - p.low;
    for (var q = 0; q < cells.length; ++q) {
      var td = cells[q];
      var i = Number(td.getAttribute('data-col')), j = Number(td.getAttribute('data-row'));
      var interior = i > 1 && i < COLUMNS && j > 1 && j < ROWS;
      var text = interior ? values[(i - 2) + 5 * (j - 2)] : p.start[(i - 1) + COLUMNS * (j - 1)];
      var v = number(text);
      td.classList.toggle('missing', v === null);
      td.classList.toggle('special', v !== null && !isFinite(v));
      if (v === null) {
        td.textContent = '\u2014';
        td.style.background = ''; td.style.color = '';
      } else {
        td.textContent = text;
        var t = span > 0 ? (v - p.low) / span : 0.5;
        td.style.background = isFinite(v) ? colour(t) : '';
        td.style.color = isFinite(v) ? (t > 0.6 ? '#111' : '#fff') : '';
      }
    }
    el('scale-low').textContent = String(p.low);
    el('scale-high').textContent = String(p.high);
  }

  // ---- facts and notes ---------------------------------------------------
  function fact(name, value) { return '<dt>' + esc(name) + '</dt><dd>' + esc(value) + '</dd>'; }

  function showDetails(p, f) {
    var layer = p.frameLayers[f];
    var html = fact('Pass', passName(p)) +
      fact('Lines', group(p.firstLine) + '\u2013' + group(p.lastLine) + ' of ' + group(data.lines)) +
      fact('Lower edge', p.start[1]) +
      fact('Right edge', p.start[COLUMNS + 6]) +
      fact('Left edge', p.start[COLUMNS]) +
      fact('Upper edge', p.start[COLUMNS * 4 + 1]) +
      fact('Start value', p.start[COLUMNS + 1]) +
      fact('Layers', '1 to ' + group(p.lastLayer) + (p.partial ? ' (the last one in part)' : '')) +
      fact('Frames kept', group(p.frames.length) + (p.stride > 1 ? ' (every ' + ordinal(p.stride) + ' layer)' : ' (all)')) +
      fact('Change at layer ' + group(layer), layer === 1 ? '\u2013 (the start)' : formatChange(p.frameChanges[f])) +
      fact('Last change', p.changes.length ? formatChange(p.lastChange) : '\u2013 (no layer computed)');
    el('facts').innerHTML = html;
    el('notes').innerHTML = p.notes.map(function (n) { return '<li>' + esc(n) + '</li>'; }).join('');
  }

  // ---- the convergence plot ----------------------------------------------
  var W = 1000, H = 300, L = 70, R = 34, T = 14, B = 42;
  var plot = { xmax: 2, lo: -1, hi: 0, zeroRow: false };

  function measurePlot() {
    var lo = Infinity, hi = -Infinity;
    plot.xmax = 2; plot.zeroRow = false;
    passes.forEach(function (p) {
      plot.xmax = Math.max(plot.xmax, p.lastLayer);
      p.changes.forEach(function (v) {
        if (v === 0) plot.zeroRow = true;
        else if (v !== null && v > 0) { lo = Math.min(lo, v); hi = Math.max(hi, v); }
      });
    });
    plot.any = lo <= hi;
    if (!plot.any) { lo = 1; hi = 10; }
    plot.lo = Math.floor(Math.log10(lo));
    plot.hi = Math.ceil(Math.log10(hi));
    if (plot.hi <= plot.lo) plot.hi = plot.lo + 1;
  }
  function px(layer) {
    var share = plot.logX ? Math.log10(layer) / Math.log10(plot.xmax) : (layer - 1) / (plot.xmax - 1);
    return L + share * (W - L - R);
  }
  function layerAt(x) {
    var share = Math.max(0, Math.min(1, (x - L) / (W - L - R)));
    return plot.logX ? Math.pow(plot.xmax, share) : 1 + share * (plot.xmax - 1);
  }
  function py(v) {
    var bottom = H - B - (plot.zeroRow ? 18 : 0);
    if (v === 0) return H - B;
    return T + (plot.hi - Math.log10(v)) / (plot.hi - plot.lo) * (bottom - T);
  }
  function niceStep(range) {
    var raw = range / 8, p = Math.pow(10, Math.floor(Math.log10(raw)));
    var m = raw / p;
    return Math.max(1, (m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10) * p);
  }

  function drawPlot() {
    var s = '';
    var bottom = H - B - (plot.zeroRow ? 18 : 0);
    for (var d = plot.lo; d <= plot.hi; ++d) {
      var y = py(Math.pow(10, d));
      s += '<line class="gridline" x1="' + L + '" x2="' + (W - R) + '" y1="' + y + '" y2="' + y + '"/>';
      s += '<text x="' + (L - 6) + '" y="' + (y + 4) + '" text-anchor="end">1E' + (d < 0 ? '-' : '+') +
           (Math.abs(d) < 10 ? '0' : '') + Math.abs(d) + '</text>';
    }
    if (plot.zeroRow) s += '<text x="' + (L - 6) + '" y="' + (H - B + 4) + '" text-anchor="end">0</text>';
    var ticks = [];
    if (plot.logX) {
      for (var t = 1; t <= plot.xmax; t *= 10) ticks.push(t);
    } else {
      var step = niceStep(plot.xmax - 1);
      for (var x = 1; x <= plot.xmax; x = (x === 1 && step > 1) ? step : x + step) ticks.push(x);
    }
    ticks.forEach(function (x) {
      var xx = px(x);
      s += '<line class="gridline" x1="' + xx + '" x2="' + xx + '" y1="' + T + '" y2="' + (H - B) + '"/>';
      s += '<text x="' + xx + '" y="' + (H - B + 16) + '" text-anchor="middle">' + group(x) + '</text>';
    });
    s += '<line class="axis" x1="' + L + '" x2="' + L + '" y1="' + T + '" y2="' + (H - B) + '"/>';
    s += '<line class="axis" x1="' + L + '" x2="' + (W - R) + '" y1="' + (H - B) + '" y2="' + (H - B) + '"/>';
    s += '<text x="' + ((L + W - R) / 2) + '" y="' + (H - 6) + '" text-anchor="middle">layer' +
         (plot.logX ? ' (log scale)' : '') + '</text>';
    s += '<text transform="translate(14,' + ((T + bottom) / 2) + ') rotate(-90)" text-anchor="middle">largest change</text>';
    if (!plot.any && !plot.zeroRow)
      s += '<text x="' + ((L + W - R) / 2) + '" y="' + (H / 2) + '" text-anchor="middle">No layer was computed: nothing to plot.</text>';

    passes.forEach(function (p, k) {
      var selected = k === state.pass;
      var colourOf = SERIES[k % SERIES.length];
      var runs = [], current = [];
      for (var q = 0; q < p.changes.length; ++q) {
        var v = p.changes[q];
        if (v === null || v < 0) { if (current.length) runs.push(current); current = []; continue; }
        current.push(px(p.changeLayers[q]).toFixed(1) + ',' + py(v).toFixed(1));
      }
      if (current.length) runs.push(current);
      if (selected && p.changes.length <= 60)
        runs.forEach(function (r) {
          r.forEach(function (xy) {
            var c = xy.split(',');
            s += '<circle cx="' + c[0] + '" cy="' + c[1] + '" r="2.5" fill="' + colourOf + '"/>';
          });
        });
      runs.forEach(function (r) {
        if (r.length === 1) r.push(r[0]);
        s += '<polyline class="series" data-pass="' + p.number + '" stroke="' + colourOf + '" stroke-width="' +
             (selected ? 2.4 : 1.4) + '" stroke-opacity="' + (selected ? 1 : 0.7) + '" points="' + r.join(' ') + '"/>';
      });
    });

    var p = passes[state.pass], f = state.frame, layer = p.frameLayers[f];
    var cx = px(layer);
    s += '<line class="cursor" x1="' + cx + '" x2="' + cx + '" y1="' + T + '" y2="' + (H - B) + '"/>';
    var c = p.frameChanges[f];
    if (c !== null && c !== undefined && c >= 0)
      s += '<circle cx="' + cx + '" cy="' + py(c) + '" r="4.5" fill="' + SERIES[state.pass % SERIES.length] + '" stroke="#fff"/>';
    el('plot').innerHTML = s;
  }

  function buildLegend() {
    el('legend').innerHTML = passes.map(function (p, k) {
      return '<button type="button" data-index="' + k + '"><span class="swatch" style="background:' +
             SERIES[k % SERIES.length] + '"></span>' + esc(shortName(p)) + '</button>';
    }).join('');
    el('legend').addEventListener('click', function (e) {
      var b = e.target.closest('button');
      if (b) select(Number(b.getAttribute('data-index')), 0, true);
    });
  }

  // ---- selection -----------------------------------------------------------
  function render(writeHash) {
    var p = passes[state.pass], f = state.frame, layer = p.frameLayers[f];
    el('pass').value = String(state.pass);
    el('frame').max = String(p.frames.length - 1);
    el('frame').value = String(f);
    var shown = el('shown');
    shown.textContent = 'Layer ' + group(layer) + ' of ' + group(p.lastLayer) +
                        (p.stride > 1 ? '  (frame ' + group(f + 1) + ' of ' + group(p.frames.length) + ')' : '');
    shown.setAttribute('data-pass', String(p.number));
    shown.setAttribute('data-layer', String(layer));
    showGrid(p, f);
    showDetails(p, f);
    drawPlot();
    var buttons = el('legend').querySelectorAll('button');
    for (var q = 0; q < buttons.length; ++q) buttons[q].classList.toggle('selected', q === state.pass);
    if (writeHash) {
      try { history.replaceState(null, '', '#pass=' + p.number + '&layer=' + layer); } catch (e) { /* file: URLs may refuse */ }
    }
  }

  function select(pass, frame, writeHash) {
    state.pass = Math.max(0, Math.min(passes.length - 1, pass));
    var count = passes[state.pass].frames.length;
    state.frame = Math.max(0, Math.min(count - 1, frame));
    render(writeHash);
  }

  function nearestFrame(p, layer) {
    var best = 0;
    for (var q = 0; q < p.frameLayers.length; ++q)
      if (Math.abs(p.frameLayers[q] - layer) < Math.abs(p.frameLayers[best] - layer)) best = q;
    return best;
  }

  function applyHash() {
    var fields = {};
    location.hash.replace(/^#/, '').split('&').forEach(function (kv) {
      var at = kv.indexOf('=');
      if (at > 0) fields[decodeURIComponent(kv.slice(0, at))] = decodeURIComponent(kv.slice(at + 1));
    });
    var notice = el('notice');
    notice.hidden = true;
    var pass = 0;
    if (fields.pass !== undefined) {
      var n = parseInt(fields.pass, 10);
      if (n >= 1 && n <= passes.length) pass = n - 1;
      else { notice.hidden = false; notice.textContent = 'There is no pass ' + fields.pass + '; showing pass 1.'; }
    }
    var frame = 0;
    if (fields.layer !== undefined) {
      var want = parseInt(fields.layer, 10);
      var p = passes[pass];
      if (isFinite(want)) {
        frame = nearestFrame(p, want);
        if (p.frameLayers[frame] !== want) {
          notice.hidden = false;
          notice.textContent = 'Layer ' + fields.layer + ' is not among the frames kept of pass ' + p.number +
                               '; showing layer ' + group(p.frameLayers[frame]) + ', the nearest.';
        }
      }
    }
    select(pass, frame, false);
  }

  // ---- playing -------------------------------------------------------------
  function stop() {
    if (state.timer !== null) clearInterval(state.timer);
    state.timer = null;
    el('play').textContent = 'Play';
    el('play').classList.remove('playing');
  }
  function play() {
    var p = passes[state.pass];
    if (state.frame >= p.frames.length - 1) select(state.pass, 0, true);
    el('play').textContent = 'Pause';
    el('play').classList.add('playing');
    state.timer = setInterval(function () {
      if (state.frame >= passes[state.pass].frames.length - 1) { stop(); return; }
      select(state.pass, state.frame + 1, true);
    }, 1000 / Number(el('speed').value));
  }
  function step(by) { stop(); select(state.pass, state.frame + by, true); }

  // ---- start ---------------------------------------------------------------
  el('summary').textContent = group(passes.length) + (passes.length === 1 ? ' pass' : ' passes') + ' of the sweeps from ' +
    group(data.setups) + (data.setups === 1 ? ' set-up' : ' set-ups') + ', ' + group(data.lines) + ' lines.';
  el('ending').textContent = 'End of the transcript: ' + data.ending;
  el('pass').innerHTML = passes.map(function (p, k) {
    return '<option value="' + k + '">' + esc(passName(p)) + '</option>';
  }).join('');
  buildGrid();
  buildLegend();
  measurePlot();
  plot.logX = plot.xmax >= 1000;
  el('log-layers').checked = plot.logX;
  el('log-layers').addEventListener('change', function () { plot.logX = el('log-layers').checked; drawPlot(); });

  el('pass').addEventListener('change', function () { stop(); select(Number(el('pass').value), 0, true); });
  el('frame').addEventListener('input', function () { stop(); select(state.pass, Number(el('frame').value), true); });
  el('first').addEventListener('click', function () { step(-Infinity); });
  el('prev').addEventListener('click', function () { step(-1); });
  el('next').addEventListener('click', function () { step(1); });
  el('last').addEventListener('click', function () { step(Infinity); });
  el('play').addEventListener('click', function () { if (state.timer === null) play(); else stop(); });
  el('speed').addEventListener('change', function () { if (state.timer !== null) { stop(); play(); } });
  el('plot').addEventListener('click', function (e) {
    var box = el('plot').getBoundingClientRect();
    var layer = layerAt((e.clientX - box.left) / box.width * W);
    stop();
    select(state.pass, nearestFrame(passes[state.pass], Math.round(layer)), true);
  });
  document.addEventListener('keydown', function (e) {
    if (e.target && (e.target.tagName === 'SELECT' || e.target.tagName === 'INPUT')) return;
    if (e.key === 'ArrowLeft') step(-1);
    else if (e.key === 'ArrowRight') step(1);
    else if (e.key === 'Home') step(-Infinity);
    else if (e.key === 'End') step(Infinity);
    else if (e.key === ' ') { e.preventDefault(); if (state.timer === null) play(); else stop(); }
    else return;
  });
  window.addEventListener('hashchange', function () { stop(); applyHash(); });
  applyHash();
})();
