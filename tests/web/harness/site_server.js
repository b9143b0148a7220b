// Serves the built page from its folder on 127.0.0.1, on a port the system
// picks, for as long as a test or benchmark needs it. Only files inside the
// folder are served; the wasm file goes out as application/wasm, which the
// browser needs to compile it while it downloads.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');

const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.ico': 'image/x-icon',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
};

function fileFor(root, urlPath) {
  let relative;
  try {
    relative = decodeURIComponent(urlPath.split('?')[0]);
  } catch {
    return null;
  }
  if (relative.endsWith('/')) relative += 'index.html';
  const file = path.resolve(root, '.' + relative);
  return file.startsWith(root + path.sep) ? file : null;
}

// Resolves to { url, close() } once the server listens.
async function startSiteServer(folder) {
  const root = path.resolve(folder);
  if (!fs.existsSync(path.join(root, 'index.html'))) throw new Error(`no index.html in ${root}: build the page first`);
  const server = http.createServer((request, response) => {
    const file = request.method === 'GET' || request.method === 'HEAD' ? fileFor(root, request.url) : null;
    fs.readFile(file || '', (error, body) => {
      if (!file || error) {
        response.writeHead(file ? 404 : 400, { 'Content-Type': 'text/plain' });
        response.end(file ? 'not found\n' : 'bad request\n');
        return;
      }
      response.writeHead(200, {
        'Content-Type': contentTypes[path.extname(file)] || 'application/octet-stream',
        'Content-Length': body.length,
        'Cache-Control': 'no-store',
      });
      response.end(request.method === 'HEAD' ? undefined : body);
    });
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', resolve);
  });
  const { port } = server.address();
  return {
    url: `http://127.0.0.1:${port}/`,
    close: () => new Promise((resolve) => {
      server.closeAllConnections?.();
      server.close(() => resolve());
    }),
  };
}

module.exports = { startSiteServer };
