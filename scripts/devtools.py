"""A small client of Chromium's DevTools protocol, for the browser test and the browser
benchmark: Debian's headless chromium with its software WebGL, a local web server, and the
calls they need (console, script, input, the canvas's pixels). Needs Debian's chromium and
python3-websocket, run with /usr/bin/python3."""

import base64
import http.server
import json
import os
import re
import shutil
import subprocess
import tempfile
import threading
import time
import urllib.parse
import urllib.request

import websocket


class Server:
    """Serves folders on 127.0.0.1 at a free port: `roots` maps a path prefix ("/", "/scene/")
    to a folder. `missing` holds paths answered 404, `replaced` maps a path to other bytes;
    `sent` counts the bytes of the bodies served."""

    def __init__(self, roots):
        self.roots = roots
        self.missing, self.replaced, self.sent = set(), {}, 0
        server = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            def send_header(self, name, value):
                if name == 'Content-Length':
                    server.sent += int(value)
                super().send_header(name, value)

            def translate_path(self, path):
                path = urllib.parse.urlsplit(path).path
                prefix = max((p for p in server.roots if path.startswith(p)), key=len)
                return os.path.join(server.roots[prefix], path[len(prefix):])

            def do_GET(self):
                path = urllib.parse.urlsplit(self.path).path
                if path in server.missing:
                    return self.send_error(404)
                if path in server.replaced:
                    body = server.replaced[path]
                    self.send_response(200)
                    self.send_header('Content-Type', self.guess_type(path + ('index.html' if path.endswith('/') else '')))
                    self.send_header('Content-Length', str(len(body)))
                    self.end_headers()
                    return self.wfile.write(body)
                return super().do_GET()

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
        self.url = 'http://127.0.0.1:%d/' % self.httpd.server_port
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Browser:
    """Headless chromium with one page; its console lines are collected, with their level,
    as they come."""

    def __init__(self, width=800, height=600, flags=()):
        self.profile = tempfile.mkdtemp(prefix='pyrokettle-chromium-')
        # Software WebGL through SwiftShader; --use-gl=swiftshader would lose WebGL altogether.
        self.process = subprocess.Popen(
            ['chromium', '--headless=new', '--no-sandbox', '--enable-unsafe-swiftshader',
             '--use-angle=swiftshader', '--no-first-run', '--mute-audio',
             '--user-data-dir=' + self.profile, '--remote-debugging-port=0',
             '--window-size=%d,%d' % (width, height)] + list(flags) + ['about:blank'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.console, self.next_id, self.before = [], 0, None
        self.socket = websocket.create_connection(self._page_socket(), timeout=60)
        for domain in ('Runtime', 'Page', 'Log'):
            self.call(domain + '.enable')
        self.call('Emulation.setDeviceMetricsOverride', width=width, height=height,
                  deviceScaleFactor=1, mobile=False)

    def _page_socket(self):
        port_file = os.path.join(self.profile, 'DevToolsActivePort')
        deadline = time.time() + 60
        while time.time() < deadline:
            try:
                port = open(port_file).read().split()[0]
                with urllib.request.urlopen('http://127.0.0.1:%s/json' % port) as answer:
                    pages = [t for t in json.load(answer) if t['type'] == 'page']
                if pages:
                    return pages[0]['webSocketDebuggerUrl']
            except (OSError, IndexError, ValueError):
                pass
            time.sleep(0.1)
        raise RuntimeError('chromium did not start')

    def _take(self, message):
        method, params = message.get('method'), message.get('params', {})
        if method == 'Runtime.consoleAPICalled':
            text = ' '.join(str(a.get('value', a.get('description', ''))) for a in params['args'])
            self.console.append((params['type'], text))
        elif method == 'Runtime.exceptionThrown':
            details = params['exceptionDetails']
            self.console.append(('exception', details.get('exception', {}).get('description', details['text'])))
        elif method == 'Log.entryAdded':
            self.console.append((params['entry']['level'], params['entry']['text']))

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({'id': self.next_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.socket.recv())
            self._take(message)
            if message.get('id') == self.next_id:
                if 'error' in message:
                    raise RuntimeError('%s: %s' % (method, message['error']))
                return message.get('result', {})

    def js(self, expression):
        """The value of a script expression in the page (promises are awaited)."""
        result = self.call('Runtime.evaluate', expression=expression, awaitPromise=True, returnByValue=True)
        if 'exceptionDetails' in result:
            raise RuntimeError('%s: %s' % (expression, result['exceptionDetails']))
        return result['result'].get('value')

    def wait(self, expression, seconds=60, what=None):
        """Waits until the expression is true in the page (one that throws, as while a page
        loads, is not); fails after `seconds`."""
        deadline, error = time.time() + seconds, ''
        while time.time() < deadline:
            try:
                if self.js(expression):
                    return
            except RuntimeError as thrown:
                error = ' (%s)' % thrown
            time.sleep(0.05)
        raise AssertionError('waited %d s for %s%s' % (seconds, what or expression, error))

    def wait_console(self, pattern, seconds=60):
        """Waits for a console line matching the regular expression; returns it."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            for _, text in self.console:
                if re.search(pattern, text):
                    return text
            self.js('0')
            time.sleep(0.05)
        raise AssertionError('no console line like %r within %d s' % (pattern, seconds))

    def open(self, url, before=None):
        """Loads the page, with the script `before` (if any) run ahead of the page's own."""
        if self.before:
            self.call('Page.removeScriptToEvaluateOnNewDocument', identifier=self.before)
            self.before = None
        if before:
            self.before = self.call('Page.addScriptToEvaluateOnNewDocument', source=before)['identifier']
        self.console.clear()
        self.call('Page.navigate', url=url)

    def key(self, key, code, down=True, up=True, modifiers=0):
        keycode = {'Enter': 13, 'Escape': 27, ' ': 32, 'ArrowDown': 40, 'ArrowUp': 38, 'F11': 122}.get(key, ord(key.upper()[0]))
        text = {'Enter': '\r', ' ': ' '}.get(key, key if len(key) == 1 else '')
        for kind in (['keyDown'] if down else []) + (['keyUp'] if up else []):
            self.call('Input.dispatchKeyEvent', type=kind, key=key, code=code, modifiers=modifiers,
                      windowsVirtualKeyCode=keycode, nativeVirtualKeyCode=keycode,
                      text=text if kind == 'keyDown' else '')

    def mouse(self, kind, x, y):
        self.call('Input.dispatchMouseEvent', type=kind, x=x, y=y, button='left', clickCount=1)

    def touch(self, kind, x=0, y=0):
        self.call('Input.dispatchTouchEvent', type=kind,
                  touchPoints=[] if kind == 'touchEnd' else [{'x': x, 'y': y}])

    def canvas(self):
        """The canvas's RGB pixels, bottom row first, read right after the game drew a frame."""
        data = self.js('new Promise(done => requestAnimationFrame(() => {'
                       ' const gl = Module.ctx, rgba = new Uint8Array(800 * 600 * 4);'
                       ' gl.readPixels(0, 0, 800, 600, gl.RGBA, gl.UNSIGNED_BYTE, rgba);'
                       ' let text = ""; for (let i = 0; i < rgba.length; i += 4)'
                       '   text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);'
                       ' done(btoa(text)); }))')
        return base64.b64decode(data)

    def close(self):
        self.socket.close()
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def game_server(site, tree):
    """Serves the site (build-web/) and, as /scene.html, the page of the benchmark's scenes:
    the site's own page running pyrokettle_scene from Emscripten's build tree."""
    server = Server({'/': site, '/scene/': os.path.join(tree, 'web')})
    with open(os.path.join(site, 'index.html'), 'rb') as page:
        server.replaced['/scene.html'] = page.read().replace(b'"pyrokettle.js"', b'"scene/pyrokettle_scene.js"')
    return server
