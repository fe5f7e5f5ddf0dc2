#pragma once

#include "widgets/AlertViewBlocks.h"

#include <QStringList>

// Alerts that report to blocks: shown in one call, each event runs its block, and a
// delegate the alert had before keeps hearing the same events after the block.
namespace UIAlertView_Blocks {

platform::ui::AlertView* showWithTitle(const QString& title, const QString& message,
    platform::ui::AlertView::Style style, const QString& cancelButtonTitle,
    const QStringList& otherButtonTitles, AlertViewBlocks::IndexBlock tapBlock);
platform::ui::AlertView* showWithTitle(const QString& title, const QString& message,
    const QString& cancelButtonTitle, const QStringList& otherButtonTitles,
    AlertViewBlocks::IndexBlock tapBlock);

// Readers answer an empty block when none is attached; writers take over the delegate.
AlertViewBlocks::IndexBlock tapBlock(const platform::ui::AlertView* alert);
void setTapBlock(platform::ui::AlertView* alert, AlertViewBlocks::IndexBlock block);
AlertViewBlocks::IndexBlock willDismissBlock(const platform::ui::AlertView* alert);
void setWillDismissBlock(platform::ui::AlertView* alert, AlertViewBlocks::IndexBlock block);
AlertViewBlocks::IndexBlock didDismissBlock(const platform::ui::AlertView* alert);
void setDidDismissBlock(platform::ui::AlertView* alert, AlertViewBlocks::IndexBlock block);
AlertViewBlocks::AlertBlock willPresentBlock(const platform::ui::AlertView* alert);
void setWillPresentBlock(platform::ui::AlertView* alert, AlertViewBlocks::AlertBlock block);
AlertViewBlocks::AlertBlock didPresentBlock(const platform::ui::AlertView* alert);
void setDidPresentBlock(platform::ui::AlertView* alert, AlertViewBlocks::AlertBlock block);
AlertViewBlocks::AlertBlock cancelBlock(const platform::ui::AlertView* alert);
void setCancelBlock(platform::ui::AlertView* alert, AlertViewBlocks::AlertBlock block);
AlertViewBlocks::EnableBlock shouldEnableFirstOtherButtonBlock(
    const platform::ui::AlertView* alert);
void setShouldEnableFirstOtherButtonBlock(
    platform::ui::AlertView* alert, AlertViewBlocks::EnableBlock block);

} // namespace UIAlertView_Blocks
