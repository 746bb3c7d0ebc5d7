// The options explain themselves, can be put back to their design values, and ignore a wheel
// that only scrolls past them.
#include "GuiTestUtil.h"
#include "app/SettingsTable.h"
#include "core/TestUtil.h"

#include <QtTest>

class OptionsHelpTest : public QObject {
    Q_OBJECT
private slots:
    void everyOptionExplainsItselfInItsTooltipAndDescription() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        // Three draws after a start date of 07.08.2015 up to the draw on display 10.08.2015.
        kwtest::writeHistory(w->ZahlenFile, {kwtest::draw(42223, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                                             kwtest::draw(42224, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                                             kwtest::draw(42225, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                                             kwtest::draw(42226, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})});
        w->DateTimePicker1->setDay(42226);
        w->refreshExplanations();
        for (const kw::Setting& s : kw::kSettings) {
            if (s.tab != kw::SettingsTab::Statistics && s.tab != kw::SettingsTab::Mathematics &&
                s.tab != kw::SettingsTab::Extras && s.tab != kw::SettingsTab::Info)
                continue;
            auto* control = w->findChild<QWidget*>(QString::fromLatin1(s.name));
            QVERIFY2(control, s.name);
            QVERIFY2(control->toolTip().size() > 40, s.name);
            QCOMPARE(control->accessibleDescription(), control->toolTip());
        }
        QVERIFY(w->gerade->toolTip().contains(QStringLiteral("even numbers")));
        QVERIFY(w->QuerMin->toolTip().contains(QStringLiteral("between 36")));
        QVERIFY(w->Fuenferodersechser->toolTip().contains(
            QStringLiteral("since 07.08.2015, the start date on the chart tab: 3 draws")));
        QVERIFY(w->DreioderVierWochen->toolTip().contains(QStringLiteral("20 = 70 days")));
        w->DreioderVierWochen->setValue(5);
        QTRY_VERIFY(w->DreioderVierWochen->toolTip().contains(QStringLiteral("5 = 17.5 days")));
        // The Info tab's slider has words beside it, not only a name for screen readers.
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("MaxBerechnungsanzahlText"))->text(),
                 QStringLiteral("highest number of tips"));
    }

    void resetAsksThenPutsTheOptionsBackAndLeavesTheTipsAlone() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->MaxBerechnungsanzahl->setValue(20);
        w->Anzahl->setValue(12);
        w->BesOft->setValue(50);
        w->MinUeber->setValue(5);
        w->gerade->setValue(6);
        w->PaarMuss->setChecked(true);
        w->GlueckszahlEdit->setText(QStringLiteral("77"));
        QStringList asked;
        bool answer = false;
        kw::Messages::setAsker([&](const QString& text) {
            asked << text;
            return answer;
        });
        w->ResetOptions->click();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(w->BesOft->value(), 50); // "no" changes nothing
        answer = true;
        w->ResetOptions->click();
        kw::Messages::setAsker({});
        for (const kw::Setting& s : kw::kSettings)
            if (s.kind == kw::SettingKind::Slider && s.tab <= kw::SettingsTab::Extras)
                QCOMPARE(w->findChild<TTrackBar*>(QString::fromLatin1(s.name))->value(), s.design);
        QCOMPARE(w->Label7->text(), QStringLiteral("10"));
        QVERIFY(!w->PaarMuss->isChecked());
        QVERIFY(w->GlueckszahlEdit->text().isEmpty());
        QCOMPARE(w->Anzahl->value(), 12); // the tips in use are not options
        QCOMPARE(w->MaxBerechnungsanzahl->value(), 20);
    }

    void theWheelIsLeftToThePageUnlessTheSliderHasFocus() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->show();
        w->TabControl1->setCurrentWidget(w->Optionen);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // An ignored wheel event goes on to the scrolling page under the slider.
        auto wheel = [](QWidget* target) {
            const QPoint at = target->rect().center();
            QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &e);
            return e.isAccepted();
        };
        const int before = w->Ueberfaellig->value();
        QVERIFY(!wheel(w->Ueberfaellig));
        QCOMPARE(w->Ueberfaellig->value(), before);
        QVERIFY(!w->Ueberfaellig->hasFocus());
        w->Ueberfaellig->setFocus();
        QTRY_VERIFY(w->Ueberfaellig->hasFocus());
        QVERIFY(wheel(w->Ueberfaellig));
        QVERIFY(w->Ueberfaellig->value() != before);
    }
};

QTEST_MAIN(OptionsHelpTest)
#include "options_help_test.moc"
