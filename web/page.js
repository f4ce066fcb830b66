// The page around the game (pyrokettle.js, the game built by Emscripten): it fetches the
// game's files into its file system, keeps the high scores in the browser's storage, and
// gives the engine what a page has instead of a desktop (see engine/web/Platform.cpp):
// fullscreen, a name field for touch screens, and the writing of the kept files.
'use strict';
(function () {
  var stage = document.getElementById('stage');
  var canvas = document.getElementById('canvas');
  var form = document.getElementById('name-form');
  var field = document.getElementById('name');
  var button = document.getElementById('fullscreen');
  var message = document.getElementById('message');
  // Kept in the browser's storage; ./media/poon.txt and ./media/replays link here, so the
  // high-score file, its backup and temporary files and the kept runs live in this folder.
  var KEPT = '/kept';

  function say(text) {
    message.textContent = text;
    message.hidden = false;
  }

  // Emscripten's SDL keeps every picture it loads in a 2D canvas and reads it back once. A
  // canvas that may live in the GPU reads back through it, which took most of a second of
  // start-up for the game's pictures: kept in memory, the reading is immediate.
  var getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    if (type === '2d') attributes = Object.assign({willReadFrequently: true}, attributes);
    return getContext.call(this, type, attributes);
  };

  // Every file of the game, fetched at once while the code loads. One the server does not
  // have is left out, and the game says it is missing as it would on the desktop.
  var files = fetch('media.json').then(function (response) {
    if (!response.ok) throw new Error('media.json: ' + response.status + ' ' + response.statusText);
    return response.json();
  }).then(function (paths) {
    return Promise.all(paths.map(function (path) {
      return fetch(path).then(function (response) {
        return response.ok ? response.arrayBuffer() : null;
      }, function () { return null; }).then(function (data) { return [path, data]; });
    }));
  });

  // WebGL 2 where it works, else WebGL 1: Emscripten asks for version 2 whenever the browser
  // knows of it, and would get nothing where its driver refuses it. The context is made here
  // on the game's canvas, with the attributes the game asks SDL for (no alpha, depth, stencil
  // or multisampling), and Emscripten is handed the same one: a browser's first context can
  // take a second to make, and it is made once, while the files are still arriving.
  var webgl = true;
  function chooseWebGL() {
    var attributes = {alpha: false, antialias: false, depth: false, stencil: false};
    if (!canvas.getContext('webgl2', attributes)) {
      window.WebGL2RenderingContext = undefined;
      webgl = !!canvas.getContext('webgl', attributes);
    }
    if (!webgl) {
      say('This browser cannot draw the game: it offers no WebGL.');
    }
  }

  var storageRefused = false;
  function refuseStorage(error) {
    if (!storageRefused) {
      storageRefused = true;
      console.warn('WARN) The browser refused its storage (' + (error && error.message || error) +
                   '); high scores are kept for this session only');
    }
  }

  var FS;
  function prepareFiles() {
    FS = Module.FS;
    Module.addRunDependency('files');
    files.then(function (loaded) {
      loaded.forEach(function (entry) {
        if (entry[1]) {
          FS.mkdirTree('/' + entry[0].replace(/\/[^/]*$/, ''));
          FS.writeFile('/' + entry[0], new Uint8Array(entry[1]));
        }
      });
      FS.mkdirTree('/media');
      FS.mkdir(KEPT);
      FS.symlink(KEPT + '/poon.txt', '/media/poon.txt');
      FS.symlink(KEPT + '/replays', '/media/replays');
      var ready = function () {
        if (!FS.analyzePath(KEPT + '/replays').exists) FS.mkdir(KEPT + '/replays');
        Module.removeRunDependency('files');
      };
      try {
        FS.mount(FS.filesystems.IDBFS, {}, KEPT);
        FS.syncfs(true, function (error) {
          if (error) refuseStorage(error);
          ready();
        });
      } catch (error) {
        refuseStorage(error);
        ready();
      }
    }, function (error) {
      say('The game could not be loaded: ' + error.message);
    });
  }

  // Writes the kept folder to the browser's storage, one write at a time.
  var writing = false;
  var writeAgain = false;
  function persistFiles() {
    if (storageRefused) return;
    if (writing) {
      writeAgain = true;
      return;
    }
    writing = true;
    FS.syncfs(false, function (error) {
      writing = false;
      if (error) refuseStorage(error);
      if (writeAgain) {
        writeAgain = false;
        persistFiles();
      }
    });
  }

  var fullscreen = document.fullscreenEnabled || document.webkitFullscreenEnabled;
  function toggleFullscreen() {
    if (!fullscreen) return false;
    if (document.fullscreenElement || document.webkitFullscreenElement) {
      (document.exitFullscreen || document.webkitExitFullscreen).call(document);
    } else {
      var asked = (stage.requestFullscreen || stage.webkitRequestFullscreen).call(stage, {navigationUI: 'hide'});
      if (asked && asked.catch) {
        asked.catch(function (error) { console.warn('WARN) Could not switch to fullscreen: ' + error.message); });
      }
    }
    return true;
  }
  button.hidden = !fullscreen;
  button.addEventListener('mousedown', function (event) { event.preventDefault(); });
  button.addEventListener('click', toggleFullscreen);

  // The name field: shown over the canvas where the name is typed, on touch screens only (a
  // keyboard types into the game directly). What it holds is typed into the game afresh at
  // each change, so the game's own rules decide what the name becomes.
  var touched = false;
  window.addEventListener('touchstart', function () { touched = true; }, {capture: true, passive: true});
  var entering = false;
  function placeField() {
    var box = canvas.getBoundingClientRect();
    var stageBox = stage.getBoundingClientRect();
    form.style.left = (box.left - stageBox.left + box.width * 0.24) + 'px';
    form.style.top = (box.top - stageBox.top + box.height * 0.44) + 'px';
    form.style.width = (box.width * 0.52) + 'px';
    form.style.height = (box.height * 0.09) + 'px';
    form.style.fontSize = (box.height * 0.045) + 'px';
  }
  window.addEventListener('resize', placeField);
  function showTextEntry(shown) {
    entering = shown && touched;
    form.hidden = !entering;
    if (entering) {
      field.value = '';
      placeField();
      field.focus();
    } else {
      field.blur();
    }
  }
  field.addEventListener('input', function () {
    for (var i = 0; i < 32; ++i) Module.typedKeys.push(8); // Backspace
    for (var c of field.value.toLowerCase()) Module.typedKeys.push(c.codePointAt(0));
  });
  form.addEventListener('submit', function (event) {
    event.preventDefault();
    if (entering) {
      entering = false;
      Module.typedKeys.push(13); // Enter
    }
  });
  // The keys stay in the field; the game's own listener would cancel them. Escape still quits.
  ['keydown', 'keyup', 'keypress'].forEach(function (type) {
    field.addEventListener(type, function (event) {
      if (type === 'keydown' && event.key === 'Escape') Module.typedKeys.push(27);
      event.stopPropagation();
    });
  });

  ['contextmenu', 'gesturestart', 'dblclick', 'selectstart'].forEach(function (type) {
    document.addEventListener(type, function (event) {
      if (event.target !== field) event.preventDefault();
    });
  });

  var Module = window.Module = {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) {
      // Emscripten's notes on its GL emulation are for developers, not players.
      if (!/^WARNING: using emscripten GL/.test(text)) console.error(text);
    },
    noAudioDecoding: true, // the mixer decodes the effects itself

    preRun: [prepareFiles, chooseWebGL],
    // The game sets the caption "Here be hoplings..." once its start-up has completed.
    postRun: [function () {
      if (document.title !== 'Here be hoplings...' && webgl) {
        say('The game could not start: the browser console says why.');
      }
    }],
    toggleFullscreen: toggleFullscreen,
    showTextEntry: showTextEntry,
    typedKeys: [],
    persistFiles: persistFiles,
  };

  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('sw.js', {updateViaCache: 'none'}).catch(function (error) {
      console.warn('WARN) Offline play is not available: ' + error.message);
    });
  }
})();
