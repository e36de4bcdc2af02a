#include "export/SearchablePageText.h"

const std::string_view kSearchablePageStyle = R"css(
body{margin:0;font:15px/1.35 system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;color:#222;background:#fff}
header{position:sticky;top:0;z-index:1;display:flex;flex-wrap:wrap;gap:6px 10px;align-items:center;padding:8px 12px;background:#eef3f4;border-bottom:1px solid #c9d6d8}
h1{flex:1 1 100%;margin:0;font-size:1.1em}
#q{flex:1 1 14em;min-width:0;padding:6px 8px;font-size:1em}
#count{color:#555}
.list{overflow-x:auto}
table{border-collapse:collapse;width:100%}
th,td{padding:4px 8px;text-align:left;vertical-align:top;white-space:nowrap;border-bottom:1px solid #e2e2e2}
th{background:#f7f7f7}
tbody tr:nth-child(even){background:#f1f6f7}
#more{display:block;margin:12px auto;padding:6px 16px;font-size:1em}
#more[hidden]{display:none}
@media (max-width:700px){
thead{display:none}
table,tbody,tr,td{display:block}
tr{padding:6px 12px;border-bottom:1px solid #d8d8d8}
td{padding:1px 0;border:0;white-space:normal;overflow-wrap:anywhere}
td:empty{display:none}
td::before{content:attr(data-label) ": ";color:#667;font-size:.9em}
td:nth-child(-n+2){font-weight:600}
}
)css";

// Folds queries as the program does: decomposed, then each character by the table the page
// carries (made from the program's own folding) or else with the marks dropped; and searches
// the rows' folded texts: every term must occur within one column, so the columns are joined
// by a tab, which no term can match.
const std::string_view kSearchablePageScript = R"js(
(function () {
"use strict";
var FOLD = JSON.parse(document.getElementById("fold").textContent);
var ROWS = JSON.parse(document.getElementById("rows").textContent);
var SEARCHED = [0, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13];
var PAGE = 200;
var box = document.getElementById("q");
var count = document.getElementById("count");
var more = document.getElementById("more");
var body = document.querySelector("#list tbody");
var titles = Array.prototype.map.call(document.querySelectorAll("#list thead th"),
                                      function (th) { return th.textContent; });
var keys = new Array(ROWS.length);
for (var i = 0; i < ROWS.length; i++) {
  var r = ROWS[i];
  if (r.length > 14) {
    keys[i] = r[14];
  } else {
    var k = r[0] || "";
    for (var j = 1; j < SEARCHED.length; j++) k += "\t" + (r[SEARCHED[j]] || "");
    keys[i] = k.toLowerCase();
  }
}

var MARK = /\p{M}/u;

function fold(text) {
  var out = "";
  for (var ch of text.normalize("NFD")) {
    var c = ch.codePointAt(0);
    if (c < 128) out += c >= 65 && c <= 90 ? String.fromCharCode(c + 32) : ch;
    else { var f = FOLD[ch]; out += f !== undefined ? f : MARK.test(ch) ? "" : ch; }
  }
  return out;
}

function parse(query) {
  var terms = [];
  function add(t) { if (t) { t = fold(t); if (t && terms.indexOf(t) < 0) terms.push(t); } }
  var at = 0;
  while (at < query.length) {
    if (query[at] === " ") { at++; }
    else if (query[at] === "\"") {
      var close = query.indexOf("\"", at + 1);
      if (close < 0) close = query.length;
      add(query.slice(at + 1, close));
      at = close + 1;
    } else {
      var end = at;
      while (end < query.length && query[end] !== " " && query[end] !== "\"") end++;
      add(query.slice(at, end));
      at = end;
    }
  }
  return terms;
}

function lengthText(t) {
  if (!/^[0-9]+$/.test(t)) return t;
  var n = BigInt(t);
  if (n > 18446744073709551615n) return t;
  function two(x) { return (x < 10n ? "0" : "") + x; }
  var h = n / 3600n, m = n / 60n % 60n, s = n % 60n;
  return h > 0n ? h + ":" + two(m) + ":" + two(s) : m + ":" + two(s);
}

var shown = null, rendered = 0, lastTerms = [];

function renderMore() {
  var total = shown ? shown.length : ROWS.length;
  var end = Math.min(total, rendered + PAGE);
  var rows = document.createDocumentFragment();
  for (var i = rendered; i < end; i++) {
    var r = ROWS[shown ? shown[i] : i];
    var tr = document.createElement("tr");
    for (var c = 0; c < 14; c++) {
      var td = document.createElement("td");
      var t = r[c] || "";
      td.textContent = c === 12 ? lengthText(t) : t;
      td.setAttribute("data-label", titles[c]);
      tr.appendChild(td);
    }
    rows.appendChild(tr);
  }
  body.appendChild(rows);
  rendered = end;
  more.hidden = end >= total;
}

function matches(key, terms) {
  for (var t = 0; t < terms.length; t++) if (key.indexOf(terms[t]) < 0) return false;
  return true;
}

// Every row the new terms find holds each old term within a new one.
function narrows(terms, wider) {
  return wider.length > 0 && wider.every(function (w) {
    return terms.some(function (t) { return t.indexOf(w) >= 0; });
  });
}

function search() {
  var terms = parse(box.value);
  if (terms.length === 0) {
    shown = null;
  } else if (terms.some(function (t) { return t.indexOf("\t") >= 0; })) {
    shown = [];
  } else {
    var found = [];
    if (shown && narrows(terms, lastTerms)) {
      for (var i = 0; i < shown.length; i++) if (matches(keys[shown[i]], terms)) found.push(shown[i]);
    } else {
      for (var j = 0; j < keys.length; j++) if (matches(keys[j], terms)) found.push(j);
    }
    shown = found;
  }
  lastTerms = terms;
  body.textContent = "";
  rendered = 0;
  renderMore();
  count.textContent = shown ? shown.length + " of " + ROWS.length + " rows" : ROWS.length + " rows";
}

box.addEventListener("input", search);
more.addEventListener("click", renderMore);
search();
})();
)js";
