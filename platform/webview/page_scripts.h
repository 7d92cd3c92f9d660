// The scripts the web view runs in its own script world of every page.
#pragma once

#include <string>

namespace zem::platform::webview {

// The script world our own scripts run in: page scripts cannot see or
// replace what ours define there, and the document is the same.
inline constexpr const char* kScriptWorld = "zem";

// A script function giving the address an element's href names as the page
// wrote it: the attribute's own text where it starts with a scheme (without
// the blanks around it and the line breaks in it, which the engine drops
// too), the resolved address otherwise. The engine lowers a scheme written
// in capitals; the program's tests on addresses compare case-sensitively.
inline constexpr const char* kWrittenAddress = R"js(function (element) {
  var text = element.getAttribute ? element.getAttribute('href') : null;
  if (text != null) {
    text = text.replace(/[\t\n\r]/g, '').replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, '');
    if (/^[A-Za-z][A-Za-z0-9+.\-]*:/.test(text)) return text;
  }
  return element.href == null ? '' : String(element.href);
})js";

// Injected at the start of every document, in every frame: tells the view
// when a frame's document has loaded; turns a right click in a document whose
// context-menu handler is set into a message (the page shows no menu of its
// own then); and reports each click on a link, with the address the engine
// resolved and the one the page wrote, before the navigation it starts (ours
// is the first listener of the window, ahead of every script of the page). A
// frame is named by its path of indices from the top.
inline std::string PageScript() {
    return std::string(R"js((function () {
  var written = )js") +
           kWrittenAddress + R"js(;
  function post(message) {
    try { window.webkit.messageHandlers.zem.postMessage(message); } catch (e) {}
  }
  function field(text) { return String(text).split('\x1f').join(''); }
  function path() {
    var steps = [];
    for (var w = window; w !== w.parent; w = w.parent) {
      var siblings = w.parent.frames;
      for (var i = 0; i < siblings.length; i++) if (siblings[i] === w) { steps.unshift(i); break; }
    }
    return steps.join('/');
  }
  window.addEventListener('load', function () {
    if (window !== window.top) post('frame\x1f' + path() + '\x1f' + location.href);
  });
  document.addEventListener('contextmenu', function (event) {
    if (document.__zemContextMenu) { event.preventDefault(); post('menu\x1f' + path()); }
  }, true);
  function clicked(event) {
    var target = event.target;
    var link = target && target.closest ? target.closest('a[href], area[href]') : null;
    if (link) post('click\x1f' + field(link.href) + '\x1f' + field(written(link)));
  }
  window.addEventListener('click', clicked, true);
  window.addEventListener('auxclick', clicked, true);
})();)js";
}

}  // namespace zem::platform::webview
