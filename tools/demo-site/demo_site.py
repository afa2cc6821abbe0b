#!/usr/bin/env python3
"""A small operator web site on loopback for running and testing the client.

Two hosts, as an operator has them:
  web host       (--web-port,  default 8910): login page /kelmi, game page, OAuth page,
                 official, customer-service and recharge pages
  download host  (--download-port, default 8911): the version file and the installer
                 under /Jorva/kelmi/official/ (served from --publish DIR when given)

Every request is printed as one line "REQUEST <port> <path+query>" on stdout (and
appended to --log FILE), so tests can see what the client asked for. The server
stops by itself after --lifetime seconds (default 3600) so nothing is left running.
"""
import argparse
import html
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>{title}</title>
<style>
body {{ margin: 0; font: 14px "Microsoft YaHei", sans-serif; color: #f4e6c0;
       background: linear-gradient(#241238, #0e1a36); }}
main {{ padding: 18px 22px; }}
h1 {{ font-size: 20px; color: #f3c969; margin: 0 0 12px; }}
a {{ color: #ffd77a; display: block; margin: 8px 0; }}
</style></head>
<body><main><h1>{title}</h1>{body}</main></body></html>
"""


def page(title, body):
    return PAGE.format(title=html.escape(title), body=body).encode("utf-8")


def login_page(web):
    return page("Ostrevane 登录", f"""
<p>账号 player01 已登录</p>
<a href="http://{web}/kelmi/account?wd_username=player01">确认账号</a>
<a href="http://{web}/kelmi/servers?wd_username=player01&wd_server=12">选择 12 区</a>
<a href="http://{web}/game.html?wd_username=player01&wd_server=12&wd_entergame=1">进入游戏</a>
<a href="http://{web}/login_oauth.php?act=qq" target="_blank">QQ 登录</a>
<a href="http://{web}/downloads/OstrevaneTools.exe">下载微端工具</a>
<a href="http://{web}/news.html" target="_blank">游戏新闻</a>
""")


def game_page(web):
    return page("Ostrevane - 12区 晨星要塞", f"""
<p>欢迎回来，player01。</p>
<a href="http://{web}/kelmi?wd_returnlogin=1">返回登录</a>
""")


class Handler(BaseHTTPRequestHandler):
    server_version = "OstrevaneDemo/1.0"

    def log_message(self, *args):  # requests are reported by `record` instead
        pass

    def record(self):
        line = f"REQUEST {self.server.server_port} {self.path}"
        print(line, flush=True)
        if self.server.options.log:
            with open(self.server.options.log, "a", encoding="utf-8") as log:
                log.write(line + "\n")

    def send(self, status, body, content_type="text/html; charset=utf-8"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        self.record()
        opts = self.server.options
        web = f"127.0.0.1:{opts.web_port}"
        path = self.path.split("?", 1)[0]
        if self.server.server_port == opts.download_port:
            return self.download_host(path)
        if path in ("/kelmi", "/kelmi/", "/kelmi/account", "/kelmi/servers"):
            return self.send(200, login_page(web))
        if path == "/game.html":
            return self.send(200, game_page(web))
        if path == "/login_oauth.php":
            return self.send(200, page("QQ 登录", "<p>请使用 QQ 账号登录。</p>"))
        if path == "/customer.html":
            return self.send(200, page("客服中心", "<p>客服热线 400-000-0000</p>"))
        if path == "/paym.html":
            return self.send(200, page("充值中心", "<p>选择充值金额</p>"))
        if path == "/news.html":
            return self.send(200, page("游戏新闻", "<p>新版本上线</p>"))
        return self.send(404, page("404", "<p>没有这个页面</p>"))

    def download_host(self, path):
        prefix = "/Jorva/kelmi/official/"
        if not path.startswith(prefix):
            return self.send(404, b"not found", "text/plain")
        name = path[len(prefix):]
        publish = self.server.options.publish
        if name == "app.ini" and not publish:
            return self.send(200, b"[version]\r\ncurrentversion=3.0.0.0\r\nupgraderange=\r\n",
                             "text/plain")
        if publish and name in ("app.ini", "Jorvakelmi.exe"):
            file = os.path.join(publish, name)
            if os.path.isfile(file):
                with open(file, "rb") as f:
                    kind = "text/plain" if name.endswith(".ini") else "application/octet-stream"
                    return self.send(200, f.read(), kind)
        return self.send(404, b"not found", "text/plain")


def serve(port, options):
    server = ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.options = options
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--web-port", type=int, default=8910)
    parser.add_argument("--download-port", type=int, default=8911)
    parser.add_argument("--publish", help="folder with app.ini and Jorvakelmi.exe")
    parser.add_argument("--log", help="file to append request lines to")
    parser.add_argument("--lifetime", type=float, default=3600.0)
    options = parser.parse_args()
    servers = [serve(options.web_port, options), serve(options.download_port, options)]
    print(f"demo site: web http://127.0.0.1:{options.web_port}/kelmi, "
          f"download http://127.0.0.1:{options.download_port}/Jorva/kelmi/official/app.ini",
          flush=True)
    try:
        time.sleep(options.lifetime)
    except KeyboardInterrupt:
        pass
    for s in servers:
        s.shutdown()
    return 0


if __name__ == "__main__":
    sys.exit(main())
