#pragma once

class QWidget;

// At start-up: offers, in one dialog, the documents that instances which are
// gone left journaled, then keeps journals of this instance's documents.
void offerRecovery(QWidget *parent);
