<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>Accounts</name>
    <message>
        <source>用户密码的存储参数无效，需由管理员重设。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户密码错误。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找回密码被拒绝：用户已锁定或已过期。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找回密码：答案正确。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找回密码：答案错误。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Admin</name>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查询</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选中</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>注册时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>失效时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备注</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选中用户!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除数据库失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除用户：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库备份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通信设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准报告导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始记录导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>日志导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不能删除当前登录的用户：%1！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>日志下载</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准记录导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否删除用户：%1?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AdminAdd</name>
    <message>
        <source>添加用户</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称重复,添加失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加数据成功!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加用户：</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AdminEdit</name>
    <message>
        <source>用户修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据修改成功!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改用户：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>至少要保留一个可以登录的管理员账户！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改初始账户的密码时，请选择找回密码的问题并填写答案！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AdminForm</name>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用 户 名：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户密码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>问    题：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>答    案：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户权限：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户状态：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有 效 期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备    注：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>详细权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入正确的参数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不修改请留空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择或输入一个找回密码的问题！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Analysis</name>
    <message>
        <source>未查找到循环文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件异常！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温循环文件步骤不能小于3步！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温循环文件步骤1温度需要小于步骤2温度！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温循环文件步骤3温度需要小于步骤2温度！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温循环文件的升降温温差需要大于十度！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动识别错误，请手动分段！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结束</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线不全不能生成报告！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>获取数据错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线时间必须为递增的！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有检测到标注线！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线时间小于开始时间！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线时间大于结束时间！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到数据！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截取的数据不匹配循环文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据错误，校准失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据错误，验证失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不合格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准结果为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合格  误差为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不合格  误差为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合格</source>
        <comment>performance verdict</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不合格</source>
        <comment>performance verdict</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过冲</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下冲</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最差孔过冲</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最差孔下冲</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均偏差（%1 s）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度（%1 s）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均升温速率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均降温速率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大升温速率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大降温速率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未稳定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道%1的各校准点电阻过于接近，无法确定四个系数（温度点相距太近），校准失败！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AuditChain</name>
    <message>
        <source>无法校验审计日志：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志完整：共 %1 条记录，哈希链末条哈希 %2。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志已被改动：哈希链在第 %1 条记录处断开（共 %2 条）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该记录：%1 | %2 | %3 | %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志已损坏：读到第 %1 条记录后无法继续读取（%2）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志已被改动：此数据库的审计记录曾建立哈希链，哈希列现已不存在。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>与 %1 个锚点一致。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志已被改动：第 %1 条记录与锚点 %2（%3）不符（共 %4 条）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志已被改动：第 %1 条记录（共 %2 条）在最新锚点 %3（%4）之后，没有写入时记录的锚点。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志已被截短或清空：锚点 %1（%2）记录了 %3 条，表中只有 %4 条，第 %5 条起的记录缺失。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AuditDiff</name>
    <message>
        <source>（空）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1：%2 → %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>；</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AuditLog</name>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>起始日期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结束日期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作人：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作类型：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查询</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下载</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作人</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作类型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>详细信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下载审计日志。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检查审计日志的哈希链：任何一条记录被改动或删除都会被发现</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AuditReport</name>
    <message>
        <source>审计报告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作类型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作说明</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %1 页，共 %2 页</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计链头（条数:哈希）：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Calibration</name>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止校准，保存数据。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>初始参数设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备选择</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR仪： </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道文件：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  布点图：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准方式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度校准    </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温速率校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>样本线性校准  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>项目名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  环境压力：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>送检单位：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  环境温度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集时长：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  环境湿度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启动时间：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  采集间隔：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>项目备注：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准员：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  核验员：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否保存数据?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止校准，不保存数据。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始校准。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯异常，是否保存数据?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加数据失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接设备失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪异常，关闭！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>项目名称重复！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最低</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最高</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无布点图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无图片</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图与标准器不符！（%1个点，%2个探头）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未开始校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>阶段：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>距开始：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在连接测温仪…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集时长：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已采集：%1    剩余：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>程序步骤：无循环文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>程序步骤：第%1/%2步 %3 %4，保持%5 min，本步剩余 %6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（第%1轮）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 已结束</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请按“继续”开始升降温速率校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度校准完成，请按“继续”开始升降温速率校准！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准完成，数据已保存！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据已保存！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据无法写入数据库，校准已停止！已写入的数据已保留。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图片过大</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CalibrationLinear</name>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>样本线性校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>项目</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>    项目    </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请将数据填写完整！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据保存失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>样本示值误差原始数据（copies/μL）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>样本示值误差（示值误差 = (测量值 − 标准值) / 标准值 × 100%）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  标准值 (copies/μL)  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  测量值 (copies/μL)  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  示值误差 (%)  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  不确定度 (%, k=2)  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>样本线性校准数据保存：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 不是数值！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据尚未保存，是否放弃已填写的数据？</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CalibrationSetup</name>
    <message>
        <source>数据库获取错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图与标准器不符！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>项目名称不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>项目名称重复！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>送检单位不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>环境温度不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>环境温度格式错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>环境湿度不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>环境压力不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准员不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>核验员不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集间隔过短！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请设置校准项目！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Certificates</name>
    <message>
        <source>数据库未打开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取证书编号失败</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartView</name>
    <message>
        <source>设备校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CycleSteps</name>
    <message>
        <source>请先输入内容！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择内容！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定点温度应为数字，最多一位小数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定点温度超出范围（%1 ~ %2 %3）！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>持续时间应为分钟数，最多两位小数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>持续时间应大于0且不超过%1分钟！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CyclicFile</name>
    <message>
        <source>步骤文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置文件名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>步骤个数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查看循环文件：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除数据库失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除循环文件的编号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该循环文件已被%1个校准项目使用，不能删除！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CyclicFileAdd</name>
    <message>
        <source>步骤文件添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>步骤</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定点温度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定温度持续时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定点温度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>持续时间：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择通道！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号重复,添加失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称重复,添加失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加数据失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加循环文件：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>例如 72.5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>例如 1.5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>步骤文件修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号应为1到3位数字！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该循环文件已被%1个校准项目使用，不能修改！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称重复,修改失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改循环文件：</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CyclicFileDisplay</name>
    <message>
        <source>步骤文件显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>个数：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>步骤</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定点温度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定温度持续时间</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataExport</name>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查询</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>项目名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间设置：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 温度设置：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间轴-标注线设置：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备注：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度轴-标注线设置：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准证书</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除项目</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间设置错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度设置错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请设置标注线备注!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择需要导出的数据！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准数据删除：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在读取数据...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>性能判定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出格式：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准证书和校准记录的文件格式；原始记录总是Excel工作簿</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>程序在运行结束前被中止；已保存的数据可以导出或删除。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataExportConfirm</name>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出确认</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定指标：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>刷新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线已全部添加！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标注线已全部删除！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定指标设置错误！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DatabaseFile</name>
    <message>
        <source>数据库 %1 所在的文件夹或文件是只读的（只读介质或没有写权限），不能写入；这不是文件损坏。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库 %1 所在的磁盘已满，不能写入；请腾出空间后再试。这不是文件损坏。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取数据库 %1 时发生输入/输出错误（设备故障或被其他程序锁定）；这不一定是文件损坏。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 不是可读的数据库（文件损坏或不是数据库）。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DatabaseSettings</name>
    <message>
        <source>地址中不能包含密码。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入数据库服务器地址！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库端口应为1到65535！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库名称只能由字母、数字和下划线组成！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库用户名只能由字母、数字和下划线组成！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DbCopy</name>
    <message>
        <source>用法：pcrcal-dbcopy --from 源 --to 目标
把本程序的一个数据库完整复制到另一个数据库，通常是把一台工作站的 PCR.db3 复制到多台工作站共用的 PostgreSQL 数据库。
源只读不改；目标中不得已有本程序的数据。全部数据在一个事务中写入，各表行数与源一致后才提交。

数据库的写法：
  sqlite:路径                          SQLite 文件（也可直接写路径）
  postgresql://用户@主机:端口/库名      PostgreSQL 数据库；密码取自 PGPASSWORD、PGPASSFILE 或 ~/.pgpass，不能写在地址中

选项：
  --from 源      要复制的数据库
  --to 目标      接收数据的数据库（空库）
  --help         显示本帮助

退出状态：
  0  复制完成，各表行数已核对
  1  命令行有误
  2  源无法读取或不是本程序的数据库
  3  无法连接或写入目标
  4  目标中已有数据，未复制任何内容
  5  复制失败或行数不符，目标未做任何改动
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库地址为空。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法识别的参数：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用 --help 查看用法。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>需要 --from 和 --to。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库地址有误：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制完成：%1 → %2，各表行数一致。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取源数据库：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接或写入目标数据库：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目标数据库中已有数据，未复制：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制失败，目标未改动：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目标就是源</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Electrometer</name>
    <message>
        <source>设备信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备型号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>制造单位：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准状态：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>证书编号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不确定度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯方式：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备型号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>制造单位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备序列号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>证书编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准周期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不确定度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯方式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ip地址/端口号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口号/波特率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加数据失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不能包含“--”！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效期格式错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号或名称重复。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪添加：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不存在。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪修改：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除数据库失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪删除编号为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪查看：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备连接失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>获取序列号失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入IP地址和1到65535之间的端口号！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择串口号！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不确定度应为数值，例如 0.1 或 U=0.1℃ (k=2)！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不能修改。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExcelReport</name>
    <message>
        <source>找不到模板文件或无法读取：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板不是Excel工作簿：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板工作簿已损坏：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作簿未打开</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportJob</name>
    <message>
        <source>未知的导出格式：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始数据导出：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度数据获取失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温速率获取失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板打开失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件保存失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准报告导出：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准记录导出：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JJF 1527-2015《聚合酶链反应分析仪校准规范》</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不支持导出超过16个探头！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法分配证书编号：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库损坏，无法完整读取校准数据！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件已导出，但审计日志写入失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少设置文件 %1。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置文件 %1 无法读取（%2）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准证书须写明校准实验室（公司名称），设置无法读取时不能出具。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未设置公司名称：校准证书须写明校准实验室，不能出具。请在“系统设置”中填写公司名称。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportNames</name>
    <message>
        <source>校准证书</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Word 文档 (*.docx)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Excel 工作簿 (*.xlsx)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportTool</name>
    <message>
        <source>多余的参数：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少 --workspace。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少 --project（或 --list）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少 --kind（certificate、record 或 raw）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未知的 --kind：%1（应为 certificate、record 或 raw）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少 --operator（进行导出的操作员账户）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未知的 --format：%1（应为 Word、Excel 或 PDF）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始数据只能导出为 Excel 工作簿。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法识别的时间：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间设置错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--tolerance 必须是正数：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法识别的标注线时间：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--tolerance 和 --markers 只用于 certificate 和 record。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--tolerance 和 --markers 不能同用。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用 --help 查看用法。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作目录不存在：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作目录中没有可用的数据库：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法进入工作目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开数据库失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到校准项目：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>config.ini 未设置可用的导出格式，请用 --format 指定。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作目录（含 PCR.db3 和 config.ini）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每行列出一个校准项目名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>要导出的校准项目</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>certificate 校准证书，record 原始记录，raw 原始数据工作簿</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Word（.docx）、Excel（.xlsx）或 PDF；默认取 config.ini 的导出格式；raw 始终为 Excel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出文件；默认为当前目录下的 项目名-类型.扩展名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据窗口开始，如 &quot;2024-05-06 08:00:00&quot;；默认为整个运行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据窗口结束</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动分段的稳定指标（默认 0.1）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>直接给出标注线时间：每个设定温度一对（开始、结束），按时间递增</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示本帮助</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用法：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不需要显示器：从工作目录导出一个校准项目，与程序中的导出相同，并写入审计日志。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选项：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单位、小数位数、公司和语言取自工作目录的 config.ini。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出状态：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参数错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>证书和原始记录以项目的证书编号签发：首次导出时分配并保存，之后的导出沿用；certificate 在输出文件路径之后另起一行打印“证书编号：”及编号。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>证书编号：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--list 不能与 --verify-audit 同用。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 不能与 --%2 同用。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--annex 应为 yes 或 no：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--annex 只用于 certificate。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写出计算结果：分段、每行均匀度结果及其不确定度分量、八个升降温速率值、证书编号和性能指标（过冲、稳定时间、定时偏差、插值与最大速率及其判定），每个数给出未修约值和打印文本</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准证书是否附性能指标附页；默认取 config.ini 的 [Performance] CertificateAnnex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--out 和 --json 不能是同一个文件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>允许覆盖已存在的输出文件（工作目录中的程序文件和非普通文件从不覆盖）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入失败（文档、工作簿、JSON 或审计日志），或输出文件已存在、不可覆盖；不留下任何文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库损坏，无法完整读取</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不是数据库</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不是本程序的数据库</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库损坏，无法读取：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录不存在或不可写</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志写入失败，导出的文件已删除。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无效的 --anchor：%1（应为 条数:64位十六进制哈希）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--anchor 只能与 --verify-audit 同用。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只读校验审计日志的哈希链及其锚点（工作目录的锚点文件、备份带来的锚点）；完整时退出状态为 0，被改动、截短或清空时为 6 并指出第一条不符的记录，读取出错时为 7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>与 --verify-audit 同用，可多次给出：另外保存的审计链头（如证书上打印的），表中第 N 条记录的哈希须与之相同</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--verify-audit：审计日志被改动、截短或清空，与锚点不符，或尚未建立哈希链</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>被拒绝：分析不成立、项目正在运行，或证书缺少校准实验室（消息与程序中相同，写在标准错误上）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出须写入审计日志和证书编号，不能在不可写的数据库上进行。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作目录或校准项目不存在；操作员不存在、密码错误、已锁定、已过期或无权导出</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR仪校准系统软件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>技术支持：请联系本单位的系统管理员。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>使用说明：点击“帮助”打开用户手册。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帮助</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开用户手册：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手册文件缺失</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InputChecks</name>
    <message>
        <source>请先输入参数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1不能为空。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InstrumentValidity</name>
    <message>
        <source>测温仪已过有效期，不能用于校准！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪未校准，不能用于校准！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Jurisdiction</name>
    <message>
        <source>详细权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理与审计日志</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库备份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通信设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准报告导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准记录导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始记录导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志下载</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出格式</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Layout</name>
    <message>
        <source>选取布点图：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新建</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头点数：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>还没有布点图，请点击“新建”绘制。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该布点图没有可显示的图片。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查看布点图：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择布点图！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否删除布点图：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据删除失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除布点图：</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LayoutAdd</name>
    <message>
        <source>添加布点图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>加热模块孔数：  长</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>长的孔数须为1到%1之间的整数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽的孔数须为1到%1之间的整数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图：单击孔位放置探头，再次单击取消，完成后关闭此窗口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称不能为空!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先创建布点图!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图名称已存在，请使用其他名称！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存成功!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加布点图：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已标记孔位：%1 / %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在布点图窗口中单击孔位放置探头，关闭该窗口后布点图显示在这里。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输入加热模块的孔数后点击“确定”，绘制布点图。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LayoutDrawing</name>
    <message>
        <source>布点图图片过大（%1×%2像素），未显示。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LinkSettings</name>
    <message>
        <source>通讯方式“%1”无效，应为串口、网络或蓝牙！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择串口号！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入蓝牙设备名称！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入IP地址！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口号“%1”无效，应为1到65535之间的整数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率“%1”无效，应为正整数！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Login</name>
    <message>
        <source>用户登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密  码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>忘记密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>登 陆</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取 消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入用户名!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入密码!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名错误!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户已过期!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户已被锁定!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户登录。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码错误,连续3次密码错误用户将会锁定!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>答案错误!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>初始用户</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>你所在的公司为？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>初始账户的密码已修改，请由管理员在用户管理中重设！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入新密码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请再次输入新密码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>两次输入的密码不一致！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通过找回密码重设密码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码已重设，请用新密码登录。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>你的出生地是？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>你母亲的姓名是？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>你就读的小学是？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>你的第一位老师姓什么？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>你最喜欢的一本书是？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该用户的密码记录无效（参数超出允许范围），请由管理员在用户管理中重设密码！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>否</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不保存</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OfficeConverter</name>
    <message>
        <source>无法创建LibreOffice配置目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入LibreOffice配置：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到LibreOffice（soffice），无法生成PDF。请安装libreoffice-writer。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LibreOffice正忙，等待超时。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建临时目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法启动LibreOffice：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LibreOffice转换PDF超时。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LibreOffice转换PDF失败（退出码%1）：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已取消。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OoxmlPackage</name>
    <message>
        <source>文件不存在：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件已损坏或不是Office文档：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少[Content_Types].xml</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法生成文档压缩包</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutputFile</name>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不能覆盖工作目录中的程序文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目标不是普通文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件已存在：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入的文件不完整</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目标不是普通文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（用 --overwrite 覆盖）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不能覆盖数据库文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件已存在（另一个导出刚刚写入了它）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PCR</name>
    <message>
        <source>PCR仪设备管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪器管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR仪设备校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开数据库失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前用户为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备正在运行中，请停止运行！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确认退出程序?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出软件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准界面不允许打开设置！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版权所有 © %1 PCR仪校准系统开发组</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库服务器：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>注销</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>注销 / 切换用户</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否注销当前用户？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户注销。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 不是本程序的数据库（其中没有本程序的数据表），程序未作任何改动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 不是可读的数据库（文件损坏或不是数据库），程序未作任何改动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否在其他文件夹中新建数据库？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新数据库的文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志写入失败！未记录的操作：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>程序未作任何改动。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PCRClass</name>
    <message>
        <source>PCR仪校准系统软件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RCR仪设备管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪器 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电测仪器管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR仪设备校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PCRDevice</name>
    <message>
        <source>设备信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备型号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>制造单位：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准方式：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准日期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准周期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复校日期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>证书号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准状态：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备注：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备型号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>制造单位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准方式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准日期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准周期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>证书编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备注</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加数据失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不能包含“--”！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准周期应为不小于0的整数月！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准日期格式错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号或序列号重复。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备添加：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不存在。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备修改：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择设备!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备删除编号为：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备查看：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>证书号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准日期不能晚于当前时间！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不能修改。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Paths</name>
    <message>
        <source>不是文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法进入文件夹</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PerformanceProfileBox</name>
    <message>
        <source>性能指标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（±）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存指标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除指标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备型号：（请先输入设备型号）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备型号：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（未设置性能指标，导出时不作判定）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先输入设备型号！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存性能指标失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备性能指标修改：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备性能指标添加：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>性能指标已保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该型号没有性能指标！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否删除型号%1的性能指标?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备性能指标删除：</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PerformanceReport</name>
    <message>
        <source>（%1）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备型号%1未设置性能指标，结果不作判定。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（空）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>准确度 ±%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度 ≤%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升温速率 ≥%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>降温速率 ≥%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过冲 ≤%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定时间 ≤%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备型号%1：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>，</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定带 ±%1；定时：达到设定温度后 %2；最大速率窗口 %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>、</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不作判定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不合格</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProbeCalTool</name>
    <message>
        <source>多余的参数：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少 --%1。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未知的 --mode：%1（应为 calibration 或 verification）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度点不能多于%1个。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1个温度点为空。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--liquid-change 的点号无效：%1（应为 1 到 %2）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--delay 必须是不小于 0 的整数分钟：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--index 必须是正数：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法识别的设备：%1（应为 名称 或 名称,serial|tcp|ble,地址[,端口]）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未知的设备：%1（可选：%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作目录（含 PCR.db3 和 config.ini）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头组名称（探头管理中的名称）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>calibration 校准（拟合并保存系数）或 verification 验证（判定每个探头）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度点（℃），4 到 9 个，按顺序</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在第 K 个点之后暂停以更换液体（点号从 1 起）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定后的延迟时间（分钟）；默认取 config.ini，否则为 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定指标（℃）：最近 15 个标准读数的极差小于它即为稳定；默认取 config.ini，否则为 0.01</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每个读数、每个点和最终结果各写一行 JSON；- 为标准输出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拟合残差超过限值时仍保存系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恒温设备，替代 config.ini 中的设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪器，替代 config.ini 中的设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准器，替代 config.ini 中的设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示本帮助</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用法：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不需要显示器：在恒温槽中校准或验证一组探头，与程序的“探头校准”页面相同。未完成的运行（停止、暂停换液或中断之后）在下次以相同探头组启动时从第一个未完成的点继续。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选项：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DEV 为 名称 或 名称,serial|tcp|ble,地址[,端口或波特率]，例如 &quot;VADE,serial,/dev/ttyUSB0,9600&quot;、&quot;1611A,tcp,192.168.1.10,5980&quot;、&quot;Fluke 1586A,tcp,192.168.1.11,3490&quot;、&quot;ZIVI-D&quot;（恒温设备自带的标准器）。只给名称时使用 config.ini 中该设备的通讯设置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准探头的类型、通道和系数取自 config.ini（TStandardizer）；读数间隔为 TStandardizer/Interval 秒（默认 20），残差限值为 TStandardizer/ResidualLimit K（默认 0.02）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出状态：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>完成：系数已保存，或探头已判定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备打开、设置或读取失败（已完成的点保留）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参数、工作目录、探头组或数据错误；拟合残差过大而未保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂停更换液体；换液后再次运行即继续</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>被 SIGINT 或 SIGTERM 中断（已完成的点保留，再次运行即继续）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用 --help 查看用法。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作目录中没有可用的数据库：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法进入工作目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开数据库失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到探头组：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续未完成的运行：从第%1点开始。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恒温设备设定为 %1 ℃，等待稳定……</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1点完成：标准温度 %2 ℃</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拟合残差超过 %1 K，系数未保存（可能有探头离开恒温槽或标准值有误；确认无误时用 --accept-residuals 保存）：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准结束！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>放弃未完成运行已测的点，按 --points 重新开始（计划不同时必须给出）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测量点无法保存到数据库，运行已停止（之前的点保留）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取已测量的温度点失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用 --restart 放弃已测的点并按 --points 重新开始。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>允许替换已存在的 JSON 文件（工作目录中的程序文件、数据库和非普通文件从不替换）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>；校准须有“探头添加”权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员不存在、密码错误、已锁定、已过期，或校准时没有“探头添加”权限</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProbeCalibration</name>
    <message>
        <source>温度点数不许少于4个！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1个温度点“%2”不是温度！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有未完成的校准，是否继续?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有未完成的验证，是否继续?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据错误，将开始新的校准！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据错误，将开始新的验证！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道%1（%2）：第%3点残差 %4 K；各点：%5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拟合残差超过 %1 K（可能有探头离开恒温槽或标准值有误）：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否仍然保存系数？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系数未保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头校准：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1个温度点 %2 ℃ 超出恒温设备%3的范围（%4 ~ %5 ℃）！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1个温度点 %2 ℃ 与第%3个点重复！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第%1个温度点 %2 ℃ 与第%3个点 %4 ℃ 相差不足 %5 K！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未完成的运行按计划（%1）已测%2个点，与本次的计划（%3）不同。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>config.ini 中旧版本保存的测量点无法核实，已不再使用（内容已记入日志），请重新测量这些点。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头校准测量点：%1，第%2点，标准温度 %3 ℃（%4）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头验证测量点：%1，第%2点，标准温度 %3 ℃（%4）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道%1（%2）第%3点残差 %4 K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拟合结果不能复现校准点（残差超过 %1 K），系数未保存：</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProbeCalibrationAudit</name>
    <message>
        <source>没有“探头添加”权限，不能校准探头！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头校准：%1，%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头验证：%1，%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 个通道全部合格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 个通道合格，%2 个不合格：%3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProbeCalibrationRun</name>
    <message>
        <source>设备获取失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前模式下不许选择手动模式！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集设备打开失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温场设备打开失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度标准打开失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温场设备设置失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集设备设置失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准器设置失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准温度获取失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集器阻值获取失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集器温度获取失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集器数据获取失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备正在运行中！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请更换液体!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动终止!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准结束退出!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>验证结束退出!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备连接成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采集设备设置成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准器设置成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度点%1:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准温度：%1  通道%2：%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备断开成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测量点保存到数据库失败，运行已停止！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProfileValues</name>
    <message>
        <source>准确度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小升温速率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小降温速率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大过冲</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入全部性能指标！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1应为不小于0的数字！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1：%2 → %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（空）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>；</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QWaiting</name>
    <message>
        <source>正在导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在导出中...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先在系统设置中设置导出格式！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开数据库失败！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RawWorkbook</name>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建工作表</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>均匀度校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升降温速率校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作簿未创建</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据超过工作表的最大行数（1048576行）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入工作表失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存工作簿失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegistryForm</name>
    <message>
        <source>是否删除编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加数据失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReportTemplates</name>
    <message>
        <source>校准证书.dotx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始记录.dotx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准证书.xltx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始记录.xltx</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReportWriter</name>
    <message>
        <source>原始记录最多支持%1个探头</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定温度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不确定度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定温度/</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>极差/</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效期至 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>各测温点定时偏差（测点值−设定温度）/</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RunPicture</name>
    <message>
        <source>时间（min），起始 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度（%1）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RunRecords</name>
    <message>
        <source>运行中</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>运行中断</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>项目“%1”正在校准中（运行尚未结束），不能导出或删除；请在运行结束后再试。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Safeguards</name>
    <message>
        <source>为已有的 %1 条审计记录建立哈希链。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 个账户的明文密码和找回答案已改为加盐哈希保存。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Standardizer</name>
    <message>
        <source>探头管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置文件名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道个数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件查看：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先选择设备!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件删除编号：</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StandardizerAdd</name>
    <message>
        <source>探头添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道个数：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备导入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件“%1”中没有探头系数。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件中B0、B1、B2、B3各有%1、%2、%3、%4个系数，表格有%5个通道，须一致。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加数据失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备连接失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件添加：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>获取成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>获取系数失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道%1的系数没有读到，表格未改动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备导入已取消，表格未改动。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StandardizerDisplay</name>
    <message>
        <source>探头显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道个数：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置时间：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入文件“%1”。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出成功！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StandardizerRules</name>
    <message>
        <source>通道%1的系数%2不是有效的数值：“%3”。
系数须为有限的数（可用指数形式，如 1.2345e-07），最多%4个字符。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号不能包含“--”！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号重复,添加失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称重复,添加失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道不能为空！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法确认该探头组是否被校准项目使用，不能删除！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该探头组已被%1个校准项目使用，不能删除！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该探头组正被探头校准页面选用，不能删除！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SystemSet</name>
    <message>
        <source>系统设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度单位：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>语    言：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司名称：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据位数：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出格式：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动备份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份周期：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>天</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份路径：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改公司名称。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改温度精度。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改温度单位。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改语言设置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改导出格式。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置已生效，但无法写入配置文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份周期不能为0！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份路径不存在！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入配置文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动数据备份开。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动数据备份关。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改备份保存路径。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择备份路径！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份失败：路径不存在！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动数据备份。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动恢复数据。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>所选文件就是当前数据库，无需恢复！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在备份数据库...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在恢复数据库...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>将用 %1 的备份恢复数据库，此后的数据将被替换（审计记录会保留）。是否继续？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件：%1，备份时间：%2，保留此后的审计记录 %3 条。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>服务器：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>库    名：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码不保存在配置文件中：请写入 ~/.pgpass，或由环境变量 PGPASSWORD 提供。更改在程序下次启动时生效。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>本机SQLite文件（PCR.db3）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PostgreSQL服务器（多台工作站共用）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前使用：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库设置已保存，将在程序下次启动时生效。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库备份 (*.db3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动恢复数据（外来备份，已确认）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件：%1，备份时间：%2，备份中的审计记录 %3 条，与本工作目录共有 %4 条，保留本工作目录此后的审计记录 %5 条。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复失败：所选备份的数据表与本程序的不一致！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备份“%1”的审计记录不属于本工作目录的审计链，是外来备份。仍要恢复吗？恢复将作为外来备份记入审计日志。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TextChecks</name>
    <message>
        <source>输入内容不能包含控制字符！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输入内容不能超过%1个字符！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Thermistor</name>
    <message>
        <source>设备选择</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恒温设备：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪器：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准器：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准探头</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头类型：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R0：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>D：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A4：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B4：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道文件：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度点：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>换液</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>这个点之后暂停，更换恒温槽液体</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定延迟：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分钟</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定指标：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>实时数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准温度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设定温度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前温度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度波动：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动验证</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止验证</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动验证</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>获取通道文件错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稳定指标必须大于0！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准结束！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入标准温度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无需设置通讯信息！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请直接设置恒温设备！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备正在运行中！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取已测量的温度点失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否放弃已测的点，按本次的计划重新开始？</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThermistorManual</name>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>获取通道文件错误！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动验证</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>计算系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>断开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度点%1（已采集）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温度点%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入标准温度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入-120到3000之间的标准温度！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存数据失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校准结束！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动验证第%1点：%2 个通道合格，不合格通道：%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThermistorScan</name>
    <message>
        <source>通讯设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯方式：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>获取序列号失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备连接失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备名：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>空：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在搜索蓝牙设备…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>本机没有可用的蓝牙适配器，无法搜索蓝牙设备；可直接输入设备名。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>蓝牙适配器已关闭，无法搜索蓝牙设备；可直接输入设备名。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有找到蓝牙低功耗设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找到%1个蓝牙低功耗设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>本版本还不能与%1通讯，无法测试。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在测试通讯…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在结束通讯测试，请稍候…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Tool</name>
    <message>
        <source>系统设置-手动备份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-自动备份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-手动恢复</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-修改路径</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-公司名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-语言切换</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-温度单位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-温度精度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统设置-导出格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测温仪管理-通信设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>布点图管理-查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备校准-校准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备校准-数据删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出-校准报告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出-校准记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据导出-原始记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志-下载</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>管理员</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正常</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>锁定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>标准</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>内校</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未校</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已校</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>蓝牙</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-重设密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户管理-密码加密</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志-校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>审计日志-建链</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-性能指标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR设备管理-删除性能指标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库在PostgreSQL服务器上，本程序不备份也不恢复它：请由数据库管理员用服务器自己的工具（pg_dump 备份、pg_restore 恢复，或连续归档与时间点恢复）完成。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>循环文件管理-修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探头文件管理-校准</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ToolSignIn</name>
    <message>
        <source>操作员 %1 的密码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取密码文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码文件只许属于当前用户且权限为 0600：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少 --operator（操作员账户）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>需要操作员 %1 的密码：用 --password-file、环境变量 %2 或在终端上输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员 %1 的密码为空。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到操作员账户：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员账户已过期：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员账户已被锁定：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员 %1 的密码记录无效（参数超出允许范围），请由管理员重设密码。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员 %1 的密码错误；连续 3 次错误账户将被锁定。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员 %1 没有“%2”权限。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员账户（必需）：现有、未锁定、未过期且有所需权限的账户</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从文件的第一行读取操作员的密码；文件须属于当前用户且权限为 0600</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作员的密码依次取自 --password-file、环境变量 %1，或在终端上输入（不回显）。密码错误与登录时一样计数，连续 3 次错误账户将被锁定。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UserRights</name>
    <message>
        <source>用户密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>问题</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>答案</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备注</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WordReport</name>
    <message>
        <source>找不到模板文件或无法读取：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板不是Word文档：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模板正文已损坏：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文档未打开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建临时目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入临时文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WorkProgress</name>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>工作目录（不存在时创建）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法使用工作目录 %1：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PCR仪温度校准。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作目录：--workspace 指定的文件夹；否则已有 PCR.db3 或 config.ini 的当前目录；否则 %1。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
