#pragma once
// The year's Firebird database, through the client library's OO API.
