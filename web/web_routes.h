// The page's HTTP side: each route answers with a resource compiled into the program, and
// every response (the error ones too) carries the security headers.
#pragma once

class QHttpServer;

namespace plotrak {

// Adds "/", "/widget.js", "/plotrak.css", "/frames/1.jpg".."/frames/7.jpg", "/ws" (426 without an
// upgrade), the headers and a missing-route handler to `server`.
void AddPageRoutes(QHttpServer& server);

}  // namespace plotrak
