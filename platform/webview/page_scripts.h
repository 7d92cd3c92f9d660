// The scripts the web view runs in its own script world of every page.
#pragma once

namespace zem::platform::webview {

// The script world our own scripts run in: page scripts cannot see or
// replace what ours define there, and the document is the same.
inline constexpr const char* kScriptWorld = "zem";

// Injected at the start of every document, in every frame: tells the view
// when a frame's document has loaded, and turns a right click in a document
// whose context-menu handler is set into a message (the page shows no menu
// of its own then). A frame is named by its path of indices from the top.
inline constexpr const char* kPageScript = R"js((function () {
  function post(message) {
    try { window.webkit.messageHandlers.zem.postMessage(message); } catch (e) {}
  }
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
})();)js";

}  // namespace zem::platform::webview
