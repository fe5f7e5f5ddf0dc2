#pragma once

#include "common/ChildProcess.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <string>

// A web server on 127.0.0.1 for the tests that load pages: Python's http.server serving
// the files of a folder, plus "/big" (a 6 MB page with no length given), "/silent" (never
// answers), "/latin1" (a Latin-1 page named so only in the response) and "/go?to=<path>"
// (a redirect). It is killed with the object, and stops on its own after two minutes at most.
class LocalWebServer {
public:
    explicit LocalWebServer(const QString& root)
    {
        if (m_process.start(QStringLiteral("python3"), { QStringLiteral("-c"), script(), root })
            && m_process.waitForOutput("\n", testsupport::ChildProcess::DefaultLimitMs)) {
            const QByteArray& said = m_process.standardOutput();
            m_port = said.left(said.indexOf('\n')).trimmed().toInt();
        }
    }
    LocalWebServer(const LocalWebServer&) = delete;
    LocalWebServer& operator=(const LocalWebServer&) = delete;

    bool isRunning() const { return m_port > 0; }
    // How the server ended, if it has, and what it printed.
    std::string report() { return m_process.report(); }
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
    }

private:
    static QString script()
    {
        return QStringLiteral(R"PY(
import http.server, os, sys, threading, time, urllib.parse
root = sys.argv[1]
threading.Timer(120, lambda: os._exit(0)).start()
class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=root, **kwargs)
    def log_message(self, *args):
        pass
    def reply(self, body, kind):
        self.send_response(200)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def do_GET(self):
        if self.path == '/silent':
            time.sleep(60)
            return
        if self.path == '/big':
            self.send_response(200)
            self.send_header('Content-Type', 'text/html')
            self.end_headers()
            line = b'<p>' + b'x' * 1017 + b'</p>\n'
            try:
                for _ in range(6 * 1024):
                    self.wfile.write(line)
            except OSError:
                pass
            return
        if self.path == '/latin1':
            page = '<html><head><title>Caf\xe9</title></head><body><p>Cr\xe8me br\xfbl\xe9e</p></body></html>'
            return self.reply(page.encode('latin-1'), 'text/html; charset=iso-8859-1')
        if self.path.startswith('/go?'):
            target = urllib.parse.parse_qs(urllib.parse.urlparse(self.path).query)['to'][0]
            self.send_response(302)
            self.send_header('Location', target)
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        return super().do_GET()
class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
server = Server(('127.0.0.1', 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
)PY");
    }

    testsupport::ChildProcess m_process;
    int m_port = 0;
};
