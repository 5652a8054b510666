#pragma once

#include "marketgenerator.h"

#include <QByteArray>
#include <QList>

// The master files the server publishes, written from generated scrips:
// "newscript.txt" (one insert into ScripMaster per scrip) and
// "DerivativesGroup.txt" (one insert into LinkDetails per member of the
// group "Derivative"). Lines end with "\r\n", as published.
namespace marketgen {

QByteArray scripMasterFile(const QList<Scrip>& scrips);
QByteArray derivativeGroupFile(const QList<qint64>& members);

// `text` as an SQL text literal, quotes doubled.
QByteArray sqlText(const QString& text);

}  // namespace marketgen
