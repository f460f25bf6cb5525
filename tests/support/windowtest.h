#pragma once

#include "appfixture.h"
#include "scriptedprompts.h"

#include <QObject>

#include <optional>

// Base of the window tests: the question double and a running frame, made
// afresh for every test function and torn down after it (frame first).
class WindowTest : public QObject
{
    Q_OBJECT

protected:
    std::optional<ScriptedPrompts> m_prompts;
    std::optional<AppFixture> m_app;

private slots:
    void init()
    {
        m_prompts.emplace();
        m_app.emplace();
    }
    void cleanup()
    {
        m_app.reset();
        m_prompts.reset();
    }
};
