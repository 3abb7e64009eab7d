#pragma once

// Everything the tool's features say beyond the design's fixed captions:
// its menus (one table for each menu, for their access keys) and its
// messages, in the words of docs/glossary.md. Portable.

#include "platform/tool_text.h"

// The items the tool adds to the window menu and the list's menu. Their
// access keys stay clear of the window menu's own: R, M, S, N, X and C.
// clang-format off
#define KIV_WINDOW_MENU_TEXTS(X) \
    X(kNewMacroItem, u"新しいマクロ(&I)...\tInsert") \
    X(kEditMacroItem, u"マクロを編集(&E)...\tF2") \
    X(kDeleteMacroItem, u"マクロを削除(&D)\tDelete") \
    X(kMoveUpItem, u"上へ移動(&P)\tAlt+Up") \
    X(kMoveDownItem, u"下へ移動(&O)\tAlt+Down") \
    X(kUndoItem, u"元に戻す(&U)\tCtrl+Z") \
    X(kEditMacroFileItem, u"マクロファイルを編集(&L)") \
    X(kTopMostItem, u"常に手前に表示(&T)") \
    X(kHotkeySettingsItem, u"ホットキーの設定(&H)...") \
    X(kRecentFilesItem, u"最近使ったファイル(&F)") \
    X(kSendToItem, u"送信先(&G)") \
    X(kOpenInNewTabItem, u"新しいタブで開く(&B)...") \
    X(kFavoriteItem, u"お気に入り(&K)") \
    X(kClearUsageItem, u"使用回数を消去(&Y)") \
    X(kResetCountItem, u"カウンターを 0 に戻す(&Z)") \
    X(kVariablesItem, u"変数の設定(&V)...")

// The tab strip's menu, for the tab right-clicked; このタブの送信先 lists
// the clients running by their titles, after なし.
#define KIV_TAB_MENU_TEXTS(X) \
    X(kCloseTabItem, u"タブを閉じる(&C)") \
    X(kMoveTabLeftItem, u"左へ移動(&L)") \
    X(kMoveTabRightItem, u"右へ移動(&R)") \
    X(kShowInExplorerItem, u"エクスプローラーで表示(&E)") \
    X(kTabClientItem, u"このタブの送信先(&T)") \
    X(kNoTabClientItem, u"なし(&N)")

// 最近使ったファイル's own items, after its files (&1 to &8).
#define KIV_RECENT_MENU_TEXTS(X) \
    X(kNoRecentFilesItem, u"(なし)") \
    X(kClearRecentFilesItem, u"一覧を消去(&C)")

// 送信先's own items: 自動 before the clients (shown as their titles are),
// and the greyed line after them.
#define KIV_SEND_TO_MENU_TEXTS(X) \
    X(kAutomaticTargetItem, u"自動(&A)") \
    X(kRememberedTitleShared, u"(「%1」のゲームクライアントが複数あるため自動)")

#define KIV_APP_TEXTS(X) \
    X(kUntitledClient, u"(タイトルなし)") \
    X(kUntitledClientInText, u"(タイトルなし、%1") \
    X(kClientInText, u"「%1」%2") \
    X(kToolKeyRefusal, u"このキーは、ツールのウィンドウでマクロを編集するときのキー (F2、Ctrl+Z など) なので、ホットキーにはできません。") \
    X(kMacroDialogFailed, u"マクロの入力画面を表示できませんでした。") \
    X(kNewMacroCaption, u"新しいマクロ") \
    X(kWinKeyHint, u"ホットキーの %1 は欄に Win なしで出ます (そのままなら変わりません)。") \
    X(kActionWinKeyHint, u"「%1」の %2 は欄に Win なしで出ます (そのままなら変わりません)。\n") \
    X(kOrphanKeyNote, u"このキーは、一覧にないマクロ「%1」のキーとして残っています。") \
    X(kOrphanKeyAsked, u"OK を押すと、このマクロのキーにするか確かめます。") \
    X(kChooseAnotherKey, u"別のキーにしてください。") \
    X(kWritingMacroFile, u"マクロファイルを書き込んでいます。") \
    X(kDeleteQuestion, u"マクロ「%1」を削除しますか?\n(Ctrl+Z で元に戻せます)") \
    X(kChangedOutside, u"マクロファイルがこのツールの外で変更されていたため、何も書き込みませんでした。一覧を読み直しましたので、もう一度操作してください。") \
    X(kNotWritten, u"マクロファイルに書き込めませんでした。一覧は変更前のままです。マクロファイルをほかのプログラムで開いているときは、閉じてからもう一度操作してください。\n\n%1") \
    X(kNotChanged, u"マクロファイルを変更できませんでした。一覧もマクロファイルも変更前のままです。") \
    X(kNotUndone, u"マクロファイルを元に戻せませんでした。マクロファイルをほかのプログラムで開いているときは、閉じてからもう一度操作してください。\n\n%1") \
    X(kNotUndoneKept, u"マクロファイルを元に戻せませんでした。マクロファイルは変更前のままです。") \
    X(kUnsavableSettings, u"設定ファイル「%1」の場所には、Windows が設定ファイルの名前に使えない文字 (%2) が含まれています。ウィンドウの位置やマクロファイルの指定は保存されません。\n\n保存するには、このツールをそのような文字のない名前のフォルダーに置いてください。") \
    X(kSettingsUnreadable, u"設定ファイル「%1」を読み込めませんでした。\n%2\n\nウィンドウの位置、マクロファイルの指定、ホットキーなどは既定の値で起動しています。前の設定を消さないよう、今回の変更は設定ファイルに保存しません。\n\nほかのプログラム (同期ソフトやエディターなど) が設定ファイルを開いているときは閉じてから、このツールを起動し直してください。") \
    X(kAnotherCopyStuck, u"同じ設定ファイル「%1」を使う KIV 会話マクロがすでに起動していますが、応答しないため前面に出せませんでした。\n\nしばらく待ってから、もう一度起動してください。それでも起動しないときは、タスク マネージャーで %2 を終了してください。") \
    X(kSettingsNotSaved, u"設定ファイル「%1」に保存できませんでした。\nウィンドウの位置とマクロファイルの指定は、次に起動したときには反映されません。設定ファイルをほかのプログラムで開いているときは閉じ、読み取り専用になっていないか確かめてください。") \
    X(kKeyWindowsKeeps, u"Windows が自分のショートカットのために取ってあるキーです。") \
    X(kKeyHeldElsewhere, u"ほかのプログラムが使っています。KIV 会話マクロがすでに起動している可能性があります。") \
    X(kActionKeyRefused, u"%1のキーは使えません。%2\n") \
    X(kActionToolKey, u"%1の %2: %3\n") \
    X(kSameKeyTwice, u"%1と%2に同じキーは使えません。\n") \
    X(kMacrosKeyTaken, u"%1の %2 はマクロ「%3」のホットキーです。別のキーにするか、下の一覧でマクロのキーを外してください。\n") \
    X(kOrphanKeyTaken, u"%1の %2 は、一覧にないマクロ「%3」のキーとして残っていて、何もしていません。\n") \
    X(kTakeOrphanKeys, u"\nマクロから外して使いますか?") \
    X(kOrphanKeysKept, u"別のキーにするか、下の一覧でマクロのキーを外してください。") \
    X(kActionNamed, u"「%1」") \
    X(kMacroNamed, u"マクロ「%1」") \
    X(kKeyIsActions, u"このキーは「%1」のホットキーです。") \
    X(kKeyIsMacros, u"このキーはマクロ「%1」のホットキーです。") \
    X(kTakeOrphanKey, u"このキーは、一覧にないマクロ「%1」のキーとして残っていて、何もしていません。このマクロのキーにしますか?") \
    X(kHotkeyNotAllowed, u"このホットキーは使えません。%1") \
    X(kSameKeyInSettings, u"設定ファイルで同じキーが%1にも使われていて、そちらが働きます。") \
    X(kHotkeysRefused, u"以下のホットキーは登録できなかったため、働きません。\n\n") \
    X(kHotkeyRefusedLine, u"「%1」の %2: %3\n") \
    X(kToChangeHotkeys, u"\n別のキーにするには、一覧を右クリックして [ホットキーの設定...] を選んでください。") \
    X(kHotkeyDialogFailed, u"ホットキーの設定を表示できませんでした。") \
    X(kActionKeyNotWorking, u"「%1」の %2 は働いていません: %3\n") \
    X(kNoMacroKeys, u"なし") \
    X(kActionKeyCaution, u"「%1」の %2\n") \
    X(kKeepRefusedKeys, u"別のキーにするか、このまま OK を押してください (ほかのキーは働きます)。") \
    X(kKeyUnreadable, u" (キーとして読めないため働きません)") \
    X(kNoMacroOfTitle, u" (このタイトルのマクロがないため働きません)") \
    X(kNoTabHasTitle, u" (開いているどのタブにもないタイトルのため働きません)") \
    X(kTitleNotInSettings, u"このタイトルには設定ファイルに書けない文字 (%1) があるため、ホットキーを付けられません。") \
    X(kTitleWithSpaces, u"前後に空白のあるタイトルには、ホットキーを付けられません。") \
    X(kMacroFileTooLarge, u"マクロファイル「%1」は大きすぎて読み込めませんでした。") \
    X(kNoOtherFile, u"切り替えられるマクロファイルはほかにありません") \
    X(kRecentFileGoneAsk, u"マクロファイル「%1」が見つかりません。移動したか、削除された可能性があります。一覧は変更前のままです。\n\n最近使ったファイルの一覧から外しますか?") \
    X(kPaletteFindsNothing, u"一致するマクロはありません") \
    X(kClearUsageAsk, u"パレットが覚えている、マクロごとの使用回数をすべて消去しますか?\n\nパレットの並びはお気に入りとファイルの順に戻ります。お気に入りはそのまま残ります。") \
    X(kRecentFilesGone, u"最近使ったファイルのうち、以下のマクロファイルが見つかりません。移動したか、削除された可能性があります。\n") \
    X(kTabFilesGone, u"以下のタブのマクロファイルが見つかりません。移動したか、削除された可能性があります。\n") \
    X(kCloseTabOrOpenAnother, u"\n\nそのタブを右クリックして [タブを閉じる] を選ぶ (Ctrl+W でも閉じます) か、そのタブを表示して [設定再読込] でほかのファイルを開いてください。") \
    X(kListKept, u"\n\n一覧は変更前のままです。") \
    X(kChooseAnotherFile, u"\n\n一覧を右クリックして [最近使ったファイル] からほかのファイルを選ぶか、[設定再読込] で開いてください。") \
    X(kFileSwitchedTo, u"マクロファイル: %1") \
    X(kMacroFileUnreadable, u"マクロファイルを読み込めませんでした。\n\n") \
    X(kEditorNotOpened, u"マクロファイル「%1」を開けませんでした。\n\n%2") \
    X(kReloadFailed, u"マクロファイルが変更されましたが、読み込めませんでした。一覧は変更前のままです。\n\n%1") \
    X(kReloadStillFailing, u"マクロファイルが変更されましたが、10 秒たっても読み込めません。一覧は変更前のままです。同期ソフトやエディターなど、ほかのプログラムがファイルを使っているときは、閉じてください。読み込めるようになりしだい、一覧に反映します。\n\n%1") \
    X(kReadWhileWritten, u"マクロファイル「%1」は、読み込んでいる間も書き換えられ続けたため、一覧は書き換えの途中の内容かもしれません。書き換えが終われば、一覧は自動で読み直されます。") \
    X(kMacroFileNotRead, u"マクロファイル「%1」を読み込む途中で、予期しないエラーが起きました。") \
    X(kDriveMissing, u"\n\nドライブ %1 が見つかりません。USB メモリーを差し込むか、ネットワークドライブにつないでから、一覧を右クリックして [最近使ったファイル] から選ぶか、[設定再読込] で開いてください。") \
    X(kNothingSelected, u"一覧でマクロが選ばれていないため、発言しませんでした") \
    X(kRestWithdrawn, u"残りの行の送信を取りやめました") \
    X(kNotAskedUnderMenu, u"メニューを開いている間は、問いのあるマクロを発言しません") \
    X(kAskDialogFailed, u"マクロの問いかけの画面を表示できませんでした。マクロは送っていません。") \
    X(kVariablesDialogFailed, u"変数の設定画面を表示できませんでした。") \
    X(kVariableNameColumn, u"名前") \
    X(kVariableValueColumn, u"値") \
    X(kVariableNameEmpty, u"名前を入力してください。") \
    X(kVariableNameCharacters, u"名前に使えるのは英字、数字、かな、漢字だけです (空白や記号は使えません)。") \
    X(kVariableNameTokens, u"「%1」は置き換える記号と紛らわしいため、変数の名前にできません。") \
    X(kVariableNotInSettings, u"設定ファイルに書けない文字 (%1) があるため、この変数は設定できません。") \
    X(kPathNotInSettings, u"「%1」の名前には、設定ファイルに書けない文字 (%2) が含まれているため、マクロファイルにできません。\nファイルかフォルダーの名前を変えてから、もう一度選んでください。") \
    X(kDropOneFile, u"マクロファイルは一度に 1 つだけドロップしてください。何も読み込みませんでした。") \
    X(kShortcutTargetUnknown, u"ショートカット「%1」の指す先がわかりませんでした。マクロファイルそのものをドロップしてください。") \
    X(kDroppedNotFound, u"「%1」が見つかりません。何も読み込みませんでした。") \
    X(kDroppedFolder, u"「%1」はフォルダーです。マクロファイルを 1 つドロップしてください。") \
    X(kLeftoverSideFiles, u"マクロファイル「%1」を書き換える途中で止まったときのファイルが、そばに残っています。\n\n") \
    X(kOldSideFile, u" (変更前の内容)") \
    X(kNewSideFile, u" (変更後の内容。最後まで書けていないことがあります)") \
    X(kLookAtSideFiles, u"\nマクロファイルに必要なマクロがないときは、これらをメモ帳などで開いて確かめてください。このツールはこれらのファイルを消しません。要らなければ削除してください。") \
    X(kTheGame, u"ゲーム") \
    X(kTheGameClient, u"ゲームクライアント%1") \
    X(kThatClient, u"そのクライアント") \
    X(kSayingBlockedElevated, u"Windows が%1への発言を止めました。%2がこのツールより高い権限で動いているためです。") \
    X(kRunAsAdministrator, u"%1が管理者として実行されていて、このツールは管理者として実行されていないため、Windows が発言を止めました。\n\nこのツールを管理者として起動し直しますか?") \
    X(kRelaunchFailed, u"管理者として起動し直せませんでした。\n\n%1") \
    X(kMacroCutShort, u"ゲームクライアント%1が応答しなくなったため、マクロ「%2」を最後まで送れませんでした。\n\n") \
    X(kLineSent, u"%1 行目「%2」: 送りました\n") \
    X(kLineMayHaveGone, u"%1 行目「%2」: 届いたかどうかわかりません (ゲームクライアントが応答を返すと、あとから届くことがあります)\n") \
    X(kLineNotSent, u"%1 行目「%2」: 送っていません\n") \
    X(kCutShortNext, u"\nこのツールが自分で送り直すことはありません。ゲームのチャットでどこまで届いたかを確かめてください。もう一度発言すると、すべての行をはじめから送ります。") \
    X(kClientExited, u"送信先に選んだゲームクライアント%1は終了しています。") \
    X(kMacroNotSent, u"マクロは送られていません。") \
    X(kTargetAutomaticAgain, u"\n\n送信先は「自動」に戻しました。") \
    X(kTargetStartedAgain, u"\n\n同じタイトルのゲームクライアント%1が起動しているので、次からはそちらに送ります。") \
    X(kNoClientRunning, u"送信先: ゲームクライアントが起動していません") \
    X(kTargetIs, u"送信先: %1") \
    X(kTooManyTabs, u"タブは %1 個までしか開けません。ほかのタブを閉じてから、もう一度開いてください。") \
    X(kTabShown, u"タブ: %1") \
    X(kTabClientNotRunning, u"タブ「%1」の送信先「%2」のゲームクライアントが起動していないため、マクロ「%3」は送られていません。") \
    X(kTabClientShared, u"タブ「%1」の送信先「%2」のゲームクライアントが複数あり、どれに送るか決められないため、マクロ「%3」は送られていません。") \
    X(kExplorerNotOpened, u"「%1」のフォルダーを開けませんでした。\n\n%2")
// clang-format on

namespace kiv {
KIV_TOOL_TEXTS(KIV_WINDOW_MENU_TEXTS, kWindowMenuTexts)
KIV_TOOL_TEXTS(KIV_RECENT_MENU_TEXTS, kRecentMenuTexts)
KIV_TOOL_TEXTS(KIV_SEND_TO_MENU_TEXTS, kSendToMenuTexts)
KIV_TOOL_TEXTS(KIV_TAB_MENU_TEXTS, kTabMenuTexts)
KIV_TOOL_TEXTS(KIV_APP_TEXTS, kAppTexts)
}  // namespace kiv
