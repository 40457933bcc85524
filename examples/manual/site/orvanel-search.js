// The search of an Orvanel site. Search.htm loads the index that
// orvanel-convert writes with --search-index (or ~PO_SearchIndex=TRUE), which
// assigns OrvanelSearchIndex, and then this script. A plain script and no
// fetch: browsers refuse to fetch files from file:// pages.
//
// Every word of the query must begin a word of the result. Results whose
// title holds every word come first, then glossary expressions, then headers
// whose text holds them (those with more of the words in their title first);
// ties keep the order of the document. A click or Enter opens the result in
// the frame ContentFrame; the arrow keys move through the results.
(function () {
  "use strict";

  var MAX_SHOWN = 50;
  var EXCERPT_BEFORE = 60;
  var EXCERPT_LENGTH = 180;

  var index = window.OrvanelSearchIndex;
  var box, results, status;
  var headers = [];   // {level, parent, title, bookmark, text, titleWords, path}
  var glossary = [];  // {expression, bookmark, header, words}
  var words = [];     // the index's words, each once
  var postings = [];  // per word, its headers as written (decoded on first use)
  var decoded = {};
  var shown = [];     // the results on screen, as links
  var selected = -1;
  var timer = 0;
  var pending = false; // typed, not yet searched

  // Letters are folded the ASCII way only, as the converter folds them.
  function fold(text) {
    return text.replace(/[A-Z]+/g, function (s) { return s.toLowerCase(); });
  }

  // The converter's word characters: ASCII letters, digits and "_", and the
  // letters beyond Latin-1's symbols (not the punctuation blocks).
  function isWordChar(code) {
    if (code < 0x80)
      return (code >= 48 && code <= 57) || (code >= 65 && code <= 90) ||
             (code >= 97 && code <= 122) || code === 95;
    if (code < 0xC0 || code === 0xD7 || code === 0xF7) return false;
    if (code >= 0x2000 && code < 0x2C00) return false;
    if (code >= 0x3000 && code < 0x3040) return false;
    return true;
  }

  function splitWords(text) {
    var out = [];
    var word = "";
    for (var i = 0; i < text.length; i++) {
      if (isWordChar(text.charCodeAt(i))) {
        word += text.charAt(i);
      } else if (word) {
        out.push(fold(word));
        word = "";
      }
    }
    if (word) out.push(fold(word));
    return out;
  }

  // A bookmark as the converter makes it from a text.
  function identifier(text) {
    return text.replace(/[^A-Za-z0-9_]/g, "_");
  }

  function startsWith(word, prefix) {
    return word.lastIndexOf(prefix, 0) === 0;
  }

  function anyStartsWith(list, prefix) {
    for (var i = 0; i < list.length; i++)
      if (startsWith(list[i], prefix)) return true;
    return false;
  }

  // Postings are differences in base 36: "0,b,3" is headers 0, 11, 14.
  function headersOfWord(w) {
    var list = decoded[w];
    if (list) return list;
    list = [];
    var parts = postings[w] ? postings[w].split(",") : [];
    var at = 0;
    for (var i = 0; i < parts.length; i++) {
      at += parseInt(parts[i], 36);
      list.push(at);
    }
    decoded[w] = list;
    return list;
  }

  function load() {
    var h = index.headers;
    for (var i = 0; i < h.length; i++) {
      var header = {
        level: h[i][0], parent: h[i][1], title: h[i][2],
        text: index.text[i] || "", titleWords: splitWords(h[i][2])
      };
      var path = [header.title];
      for (var p = header.parent; p >= 0; p = h[p][1]) path.unshift(h[p][2]);
      header.path = path;
      // Written only when the titles as shown do not give it.
      header.bookmark = h[i][3] || identifier("HBM_" + path.join("_"));
      headers.push(header);
    }
    for (var g = 0; g < index.glossary.length; g++) {
      var e = index.glossary[g];
      glossary.push({expression: e[0], header: e[1], words: splitWords(e[0]),
                     bookmark: e[2] || identifier("GBM_" + e[0])});
    }
    words = index.words ? index.words.split(" ") : [];
    postings = index.postings ? index.postings.split(" ") : [];
  }

  // The ranked results of the query's words.
  function search(query) {
    var found = [];
    var i, q;
    // Per query word, the headers whose text holds a word it begins.
    var inText = [];
    for (q = 0; q < query.length; q++) {
      var set = {};
      for (var w = 0; w < words.length; w++) {
        if (startsWith(words[w], query[q])) {
          var list = headersOfWord(w);
          for (i = 0; i < list.length; i++) set[list[i]] = true;
        }
      }
      inText.push(set);
    }
    for (i = 0; i < headers.length; i++) {
      var titleHits = 0, all = true;
      for (q = 0; q < query.length; q++) {
        var inTitle = anyStartsWith(headers[i].titleWords, query[q]);
        if (inTitle) titleHits++;
        if (!inTitle && !inText[q][i]) { all = false; break; }
      }
      if (!all) continue;
      var inAll = titleHits === query.length;
      found.push({tier: inAll ? 0 : 2, titleHits: titleHits, order: i, header: headers[i],
                  bookmark: headers[i].bookmark, inTitle: inAll});
    }
    for (i = 0; i < glossary.length; i++) {
      var every = true;
      for (q = 0; q < query.length && every; q++)
        every = anyStartsWith(glossary[i].words, query[q]);
      if (!every) continue;
      var at = glossary[i].header;
      found.push({tier: 1, titleHits: 0, order: i, glossary: glossary[i],
                  header: at >= 0 ? headers[at] : null, bookmark: glossary[i].bookmark});
    }
    found.sort(function (a, b) {
      return a.tier - b.tier || b.titleHits - a.titleHits || a.order - b.order;
    });
    return found;
  }

  // TEXT as nodes, with every word that a query word begins marked.
  function marked(text, query) {
    var span = document.createElement("SPAN");
    var folded = fold(text);
    var from = 0, i = 0;
    while (i < text.length) {
      var isStart = isWordChar(text.charCodeAt(i)) && (i === 0 || !isWordChar(text.charCodeAt(i - 1)));
      var length = 0;
      if (isStart) {
        for (var q = 0; q < query.length; q++)
          if (folded.lastIndexOf(query[q], i) === i && query[q].length > length) length = query[q].length;
      }
      if (length > 0) {
        span.appendChild(document.createTextNode(text.slice(from, i)));
        var mark = document.createElement("MARK");
        mark.appendChild(document.createTextNode(text.slice(i, i + length)));
        span.appendChild(mark);
        i += length;
        from = i;
      } else {
        i++;
      }
    }
    span.appendChild(document.createTextNode(text.slice(from)));
    return span;
  }

  // A piece of the header's text around the first word a query word begins,
  // or its beginning.
  function excerpt(text, query) {
    var folded = fold(text);
    var hit = -1;
    for (var q = 0; q < query.length && hit < 0; q++) {
      var at = -1;
      while ((at = folded.indexOf(query[q], at + 1)) >= 0) {
        if (at === 0 || !isWordChar(folded.charCodeAt(at - 1))) { hit = at; break; }
      }
    }
    var start = hit > EXCERPT_BEFORE ? text.lastIndexOf(" ", hit - EXCERPT_BEFORE) + 1 : 0;
    if (start < 0 || hit - start > EXCERPT_BEFORE + 20) start = Math.max(0, hit - EXCERPT_BEFORE);
    var end = Math.min(text.length, start + EXCERPT_LENGTH);
    if (end < text.length) {
      var space = text.lastIndexOf(" ", end);
      if (space > hit && space > start) end = space;
    }
    return (start > 0 ? "\u2026 " : "") + text.slice(start, end) + (end < text.length ? " \u2026" : "");
  }

  function pathText(header) {
    return header ? header.path.join(" \u203A ") : "";
  }

  function select(i) {
    if (selected >= 0 && shown[selected]) {
      shown[selected].className = "SearchResult";
      shown[selected].setAttribute("aria-selected", "false");
    }
    selected = i;
    if (selected >= 0 && shown[selected]) {
      shown[selected].className = "SearchResult Selected";
      shown[selected].setAttribute("aria-selected", "true");
      if (shown[selected].scrollIntoView) shown[selected].scrollIntoView({block: "nearest"});
    }
  }

  // Tells the frame page whether the results need room.
  function tellFramePage(open) {
    if (window.parent !== window)
      window.parent.postMessage(open ? "OrvanelSearch:open" : "OrvanelSearch:closed", "*");
  }

  function show(text) {
    pending = false;
    results.setAttribute("data-query", text); // what the results are for
    var query = splitWords(text);
    results.innerHTML = "";
    shown = [];
    selected = -1;
    if (query.length === 0) {
      status.textContent = "";
      tellFramePage(false);
      return;
    }
    var found = search(query);
    if (found.length === 0) {
      status.textContent = "No results for \u201C" + text.trim() + "\u201D.";
      tellFramePage(true);
      return;
    }
    status.textContent = found.length === 1 ? "1 result" :
        found.length > MAX_SHOWN ? found.length + " results, the first " + MAX_SHOWN + " shown" :
        found.length + " results";
    for (var i = 0; i < found.length && i < MAX_SHOWN; i++) {
      var r = found[i];
      var a = document.createElement("A");
      a.className = "SearchResult";
      a.href = index.page + "#" + r.bookmark;
      a.target = "ContentFrame";
      a.setAttribute("role", "option");
      a.setAttribute("aria-selected", "false");
      a.tabIndex = -1;
      var title = document.createElement("SPAN");
      title.className = "SearchTitle";
      title.appendChild(marked(r.glossary ? r.glossary.expression : r.header.title, query));
      a.appendChild(title);
      var path = pathText(r.header);
      if (path && (r.glossary || r.header.path.length > 1)) {
        var where = document.createElement("SPAN");
        where.className = "SearchPath";
        where.textContent = path;
        a.appendChild(where);
      }
      var body = r.header ? r.header.text : "";
      if (body) {
        var ex = document.createElement("SPAN");
        ex.className = "SearchExcerpt";
        ex.appendChild(marked(excerpt(body, query), query));
        a.appendChild(ex);
      }
      (function (n) {
        a.addEventListener("mousemove", function () { if (selected !== n) select(n); });
        a.addEventListener("click", function () { select(n); });
      })(i);
      results.appendChild(a);
      shown.push(a);
    }
    select(0);
    tellFramePage(true);
  }

  function onKey(event) {
    if (event.key === "ArrowDown" || event.key === "Down") {
      if (shown.length) select(Math.min(shown.length - 1, selected + 1));
      event.preventDefault();
    } else if (event.key === "ArrowUp" || event.key === "Up") {
      if (shown.length) select(Math.max(0, selected - 1));
      event.preventDefault();
    } else if (event.key === "Enter") {
      clearTimeout(timer);
      if (pending) show(box.value);
      if (selected >= 0 && shown[selected]) shown[selected].click();
      event.preventDefault();
    } else if (event.key === "Escape") {
      box.value = "";
      show("");
    }
  }

  document.addEventListener("DOMContentLoaded", function () {
    box = document.getElementById("SearchBox");
    results = document.getElementById("SearchResults");
    status = document.getElementById("SearchStatus");
    if (!box || !results || !status) return;
    if (!index || !index.headers) {
      box.disabled = true;
      status.textContent = "This site has no search index: convert it with --search-index " +
                           "or ~PO_SearchIndex=TRUE.";
      return;
    }
    load();
    box.addEventListener("input", function () {
      clearTimeout(timer);
      pending = true;
      timer = setTimeout(function () { show(box.value); }, 80);
    });
    box.addEventListener("keydown", onKey);
    if (box.value) show(box.value);
  });
})();
